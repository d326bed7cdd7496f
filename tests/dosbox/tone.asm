; A DOS program for the sound and speed test under the real DOSBox: it counts loop iterations
; over a second of BIOS ticks, after a warm-up (DOSBox raises "max" cycles gradually), writes
; the count to SPEED.TXT as eight hex digits, then plays a 440 Hz square wave for two seconds
; through the Sound Blaster's direct DAC, timed by the PIT, so that its pitch does not depend
; on the emulated speed. Build: nasm -f bin -o TONE.EXE tone.asm

        cpu     8086
        bits    16

WARM_TICKS      equ     27                      ; BIOS ticks, 18.2 a second
COUNT_TICKS     equ     18
TONE_TICKS      equ     36
; Half a period of 440 Hz in PIT counter units: channel 0 runs in mode 3, which counts down
; by two at 1193182 Hz.
HALF_PERIOD     equ     2 * 1193182 / 880
DSP_RESET       equ     226h
DSP_READ        equ     22Ah
DSP_WRITE       equ     22Ch
DSP_READY       equ     22Eh
STACK_SIZE      equ     256

%include "mz_header.inc"
start:
        cld
        mov     ax, cs
        mov     ds, ax
        xor     ax, ax
        mov     es, ax                          ; ES:46Ch is the BIOS tick count

        mov     cx, WARM_TICKS
        call    count
        mov     cx, COUNT_TICKS
        call    count
        push    ds
        pop     es
        mov     di, digits
        mov     ax, dx
        call    put_word
        mov     ax, [low_count]
        call    put_word
        xor     ax, ax
        mov     es, ax

        mov     ah, 3Ch                         ; SPEED.TXT
        xor     cx, cx
        mov     dx, speed_name
        int     21h
        jc      .failed
        mov     bx, ax
        mov     ah, 40h
        mov     cx, 10
        mov     dx, digits
        int     21h
        mov     ah, 3Eh
        int     21h

        mov     dx, DSP_RESET
        mov     al, 1
        out     dx, al
        mov     cx, 100                         ; the reset wants 3 microseconds
.hold:  in      al, dx
        loop    .hold
        xor     al, al
        out     dx, al
        mov     dx, DSP_READY
        mov     cx, 1000
.reset: in      al, dx
        test    al, 80h
        loopz   .reset
        mov     dx, DSP_READ
        in      al, dx
        mov     al, 0D1h                        ; speaker on
        call    dsp_write

        call    read_pit
        mov     [last], ax
        xor     si, si
        mov     bx, [es:46Ch]
        add     bx, TONE_TICKS
.tone:  call    read_pit
        mov     cx, [last]
        mov     [last], ax
        sub     cx, ax
        add     si, cx
        cmp     si, HALF_PERIOD
        jb      .sample
        sub     si, HALF_PERIOD
        xor     byte [level], 80h               ; 0C0h and 40h
.sample:
        mov     al, 10h
        call    dsp_write
        mov     al, [level]
        call    dsp_write
        cmp     bx, [es:46Ch]
        jne     .tone
        mov     al, 10h
        call    dsp_write
        mov     al, 80h                         ; silence
        call    dsp_write
        mov     ax, 4C00h
        int     21h
.failed:
        mov     ax, 4C01h
        int     21h

; Counts loop iterations from one tick's start over CX ticks: DX and [low_count].
count:
        mov     bx, [es:46Ch]
.edge:  cmp     bx, [es:46Ch]
        je      .edge
        mov     bx, [es:46Ch]
        add     bx, cx
        xor     ax, ax
        xor     dx, dx
.loop:  mov     cx, 100                         ; mostly register work, as an emulator's is
.spin:  loop    .spin
        add     ax, 1
        adc     dx, 0
        cmp     bx, [es:46Ch]
        jne     .loop
        mov     [low_count], ax
        ret

; AX = PIT channel 0's counter.
read_pit:
        xor     al, al
        out     43h, al
        in      al, 40h
        mov     ah, al
        in      al, 40h
        xchg    al, ah
        ret

; Writes AL to the DSP once it takes it; gives up after a while on a card that never does.
dsp_write:
        push    ax
        mov     dx, DSP_WRITE
        mov     cx, 1000
.busy:  in      al, dx
        test    al, 80h
        loopnz  .busy
        pop     ax
        out     dx, al
        ret

; AX as four hex digits at DI.
put_word:
        mov     cx, 4
.digit: push    cx
        mov     cl, 4
        rol     ax, cl
        pop     cx
        push    ax
        and     al, 0Fh
        add     al, '0'
        cmp     al, '9'
        jbe     .store
        add     al, 'A' - '9' - 1
.store: stosb
        pop     ax
        loop    .digit
        ret

speed_name      db      'SPEED.TXT', 0
level           db      0C0h
digits          db      '00000000', 13, 10

IMAGE_SIZE      equ     $ - image_start
FILE_SIZE       equ     HEADER_SIZE + IMAGE_SIZE

        absolute image_start + IMAGE_SIZE
        alignb  2
low_count       resw    1
last            resw    1
                resb    STACK_SIZE
stack_top:
MEM_SIZE        equ     stack_top - image_start
