#pragma once
// Identifiers shared by the resource script and the Win32 views.

#define IDI_KAVOFE 1
#define IDR_MAINMENU 100
#define IDR_ACCELERATORS 101

// Menu commands: kCommandBase plus the presenter's MainCommand value, in its order.
#define IDM_LOADSPC 200
#define IDM_DIR 201
#define IDM_QUIT 202
#define IDM_8000 203
#define IDM_11025 204
#define IDM_16000 205
#define IDM_22050 206
#define IDM_32000 207
#define IDM_44100 208
#define IDM_UP5 209
#define IDM_DOWN5 210
#define IDM_FORCE8BIT 211
#define IDM_LOGTOWAV 212
#define IDM_STEREO 213
#define IDM_LAUNCH 214
#define IDM_ABOUT 215
#define IDM_CURLEV 216
