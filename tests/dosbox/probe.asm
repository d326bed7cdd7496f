; A DOS program that stands in for the player under the real DOSBox: it logs the command tail it
; was given, what it could read and write through DOS, and the keys BIOS hands it, so that tests
; see what a DOS program really receives. Build: nasm -f bin -o SPCPLAY.EXE probe.asm
; PROBE.LOG is closed after every line: DOSBox buffers host writes until a close, and the tests
; read the log while the program still runs.

        cpu     8086
        bits    16

TAIL_MAX        equ     127
CFG_MAX         equ     1024
LINE_SIZE       equ     CFG_MAX + 64
STACK_SIZE      equ     512

%include "mz_header.inc"
start:
        cld
        mov     ax, cs
        mov     ds, ax
        mov     cl, [es:80h]                    ; ES is the PSP at entry
        xor     ch, ch
        cmp     cx, TAIL_MAX
        jbe     .len_ok
        mov     cx, TAIL_MAX
.len_ok:
        mov     [tail_len], cx
        push    es
        push    ds
        pop     es
        pop     ds
        mov     si, 81h
        mov     di, tail
        rep     movsb
        push    es
        pop     ds

        mov     ah, 3Ch                         ; create or truncate the log
        xor     cx, cx
        mov     dx, log_name
        int     21h
        jc      .no_log
        mov     bx, ax
        mov     ah, 3Eh
        int     21h

        mov     di, line
        mov     si, s_tail
        call    put_z
        mov     si, tail
        mov     cx, [tail_len]
        rep     movsb
        call    emit

        call    split_words
        call    log_spc
        call    log_cfg
        call    do_wav

        mov     di, line
        mov     si, s_ready
        call    put_z
        call    emit

.key:
        xor     ah, ah
        int     16h
        push    ax
        mov     di, line
        mov     si, s_key
        call    put_z
        pop     ax
        push    ax
        call    put_hex
        mov     al, ' '
        stosb
        pop     ax
        push    ax
        mov     al, ah
        call    put_hex
        call    emit
        pop     ax
        cmp     al, 'q'
        jne     .key

        mov     di, line
        mov     si, s_end
        call    put_z
        call    emit
        mov     ax, 4C00h
        int     21h
.no_log:
        mov     ax, 4C01h
        int     21h

; A copy of the tail with every blank turned into 0, so that each word is an ASCIIZ name.
split_words:
        mov     si, tail
        mov     di, words
        mov     cx, [tail_len]
        jcxz    .done
.next:
        lodsb
        cmp     al, ' '
        je      .blank
        cmp     al, 9
        jne     .store
.blank:
        xor     al, al
.store:
        stosb
        loop    .next
.done:
        mov     [words_end], di
        xor     al, al
        stosb
        ret

; SI -> the next word at or after SI; CF when there is none.
find_word:
        cmp     si, [words_end]
        jae     .none
        cmp     byte [si], 0
        jne     .found
        inc     si
        jmp     find_word
.found:
        clc
        ret
.none:
        stc
        ret

; SI -> the 0 after the word at SI.
skip_word:
        cmp     byte [si], 0
        je      .done
        inc     si
        jmp     skip_word
.done:
        ret

log_spc:
        mov     si, words
        call    find_word
        jc      .err
        mov     dx, si
        mov     ax, 3D00h
        int     21h
        jc      .err
        mov     bx, ax
        mov     ah, 3Fh
        mov     cx, 8
        mov     dx, spc_head
        int     21h
        mov     cx, ax
        lahf
        push    ax
        mov     ah, 3Eh
        int     21h
        pop     ax
        sahf
        jc      .err
        jcxz    .err
        mov     di, line
        mov     si, s_spc
        call    put_z
        mov     si, spc_head
.hex:
        lodsb
        call    put_hex
        loop    .hex
        jmp     emit
.err:
        mov     di, line
        mov     si, s_spc_err
        call    put_z
        jmp     emit

log_cfg:
        mov     ax, 3D00h
        mov     dx, cfg_name
        int     21h
        jc      .err
        mov     bx, ax
        mov     di, line
        mov     si, s_cfg
        call    put_z
        mov     ah, 3Fh
        mov     cx, CFG_MAX
        mov     dx, di
        int     21h
        mov     cx, ax
        lahf
        push    ax
        mov     ah, 3Eh
        int     21h
        pop     ax
        sahf
        jc      .err
        add     di, cx
        jcxz    .end
        cmp     byte [di - 1], 10               ; keep CFGEND on a line of its own
        je      .end
        mov     ax, 0A0Dh
        stosw
.end:
        mov     si, s_cfgend
        call    put_z
        jmp     emit
.err:
        mov     di, line
        mov     si, s_cfg_err
        call    put_z
        jmp     emit

do_wav:
        mov     si, words
.word:
        call    find_word
        jc      .absent
        cmp     byte [si], '-'
        jne     .other
        mov     al, [si + 1]
        or      al, 20h
        cmp     al, 'w'
        jne     .other
        cmp     byte [si + 2], 0
        je      .flag
.other:
        call    skip_word
        jmp     .word
.absent:
        ret
.flag:
        add     si, 2
        call    find_word
        jc      .err
        mov     dx, si
        mov     ax, 3D02h
        int     21h
        jnc     .open
        mov     ah, 3Ch
        xor     cx, cx
        int     21h
        jc      .err
.open:
        mov     bx, ax
        mov     ax, 4202h
        xor     cx, cx
        xor     dx, dx
        int     21h
        jc      .close_err
        mov     ah, 40h
        mov     cx, wav_mark_len
        mov     dx, wav_mark
        int     21h
        jc      .close_err
        cmp     ax, wav_mark_len
        jne     .close_err
        mov     ah, 3Eh
        int     21h
        jc      .err
        mov     si, s_wav_ok
        jmp     .log
.close_err:
        mov     ah, 3Eh
        int     21h
.err:
        mov     si, s_wav_err
.log:
        mov     di, line
        call    put_z
        jmp     emit

; Copies the ASCIIZ string at SI to DI.
put_z:
        lodsb
        or      al, al
        jz      .done
        stosb
        jmp     put_z
.done:
        ret

; AL as two upper-case hex digits at DI.
put_hex:
        push    ax
        push    cx
        mov     cl, 4
        shr     al, cl
        call    .digit
        pop     cx
        pop     ax
        and     al, 0Fh
.digit:
        cmp     al, 10
        jb      .decimal
        add     al, 'A' - '0' - 10
.decimal:
        add     al, '0'
        stosb
        ret

; Appends CR LF to the line that ends at DI and adds it to the log.
emit:
        mov     ax, 0A0Dh
        stosw
        mov     ax, 3D01h
        mov     dx, log_name
        int     21h
        jc      .done
        mov     bx, ax
        mov     ax, 4202h
        xor     cx, cx
        xor     dx, dx
        int     21h
        jc      .close
        mov     ah, 40h
        mov     cx, di
        sub     cx, line
        mov     dx, line
        int     21h
.close:
        mov     ah, 3Eh
        int     21h
.done:
        ret

log_name        db      'PROBE.LOG', 0
cfg_name        db      'SPCPLAY.CFG', 0
s_tail          db      'TAIL:', 0
s_spc           db      'SPC:', 0
s_spc_err       db      'SPC:ERR', 0
s_cfg           db      'CFG:', 13, 10, 0
s_cfgend        db      'CFGEND', 0
s_cfg_err       db      'CFG:ERR', 0
s_wav_ok        db      'WAV:OK', 0
s_wav_err       db      'WAV:ERR', 0
s_ready         db      'READY', 0
s_key           db      'KEY:', 0
s_end           db      'END', 0
wav_mark        db      'PROBEWAV'
wav_mark_len    equ     $ - wav_mark

IMAGE_SIZE      equ     $ - image_start
FILE_SIZE       equ     HEADER_SIZE + IMAGE_SIZE

; Not in the file: the extra paragraphs in the header reserve it.
        absolute image_start + IMAGE_SIZE
        alignb  2
tail_len        resw    1
words_end       resw    1
spc_head        resb    8
tail            resb    TAIL_MAX
words           resb    TAIL_MAX + 1
        alignb  2
line            resb    LINE_SIZE
                resb    STACK_SIZE
stack_top:
MEM_SIZE        equ     stack_top - image_start
