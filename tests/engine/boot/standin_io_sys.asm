; A stand-in IO.SYS for the boot tests: eight sectors that report over COM1 how they were
; started, then halt.
;
; Like the real file it starts with "MZ". Entered at 0070:0200, as MS-DOS 7's IO.SYS wants, it
; reports at once; entered at 0070:0000 it runs "MZ" as code (dec bp, pop dx) and then reports
; too, so the test sees where it was entered. The report, one line each:
;   KELVADO-STANDIN
;   entry=CS:IP of the first instruction run
;   regs=AX BX CX DX SI DI BP SP SS DS ES FLAGS as found
;   below=the dword at SS:BP-4
;   stack=the four words at SS:SP
;   bs=the first 90 bytes at SS:BP
;   int1e=the int 1Eh vector (segment:offset)
;   tokens=the 8-byte token at offset 1F8h of each of the eight sectors, as found in memory
;   END
; The test writes a fresh token into each sector of the file, so a sector that was not loaded
; does not show its token.
cpu 386
bits 16
org 0

TOKEN equ 0x1F8
SECTORS equ 8
COM1 equ 0x3F8

    db "MZ"
    jmp entered_at_zero
    times TOKEN - ($ - $$) db 0
    times 8 db 0

; 0200: the entry point of MS-DOS 7.
entered_at_200:
    mov [cs:saved + 0], ax
    call store
    call .ip
.ip:
    pop ax                      ; where .ip runs, so where this entry point ran
    sub ax, .ip - entered_at_200
    jmp report

entered_at_zero:
    mov [cs:saved + 0], ax
    call store
    call .ip
.ip:
    pop ax                      ; where the file's first byte is: the header ran from there
    sub ax, .ip
    jmp report

; Keeps the registers (AX is kept by the caller) before anything changes them.
store:
    mov [cs:saved + 2], bx
    mov [cs:saved + 4], cx
    mov [cs:saved + 6], dx
    mov [cs:saved + 8], si
    mov [cs:saved + 10], di
    mov [cs:saved + 12], bp
    mov [cs:saved + 14], sp
    add word [cs:saved + 14], 2 ; as it was before the call
    mov [cs:saved + 16], ss
    mov [cs:saved + 18], ds
    mov [cs:saved + 20], es
    pushf
    pop word [cs:saved + 22]
    ret

report:
    mov [cs:entry_ip], ax
    push cs
    pop ds
    cld
    mov si, text_hello
    call put_text
    mov si, text_entry
    call put_text
    mov ax, cs
    call put_word
    mov al, ':'
    call put_char
    mov ax, [entry_ip]
    call put_word
    mov si, text_regs
    call put_text
    mov si, saved
    mov cx, 12
.reg:
    lodsw
    call put_word
    mov al, ' '
    call put_char
    loop .reg

    mov es, [saved + 16]        ; SS as found
    mov bx, [saved + 12]        ; BP as found
    mov si, text_below
    call put_text
    mov ax, [es:bx - 2]
    call put_word
    mov ax, [es:bx - 4]
    call put_word

    mov si, text_stack
    call put_text
    mov bx, [saved + 14]        ; SP as found
    mov cx, 4
.stack:
    mov ax, [es:bx]
    call put_word
    mov al, ' '
    call put_char
    add bx, 2
    loop .stack

    mov si, text_bs
    call put_text
    mov bx, [saved + 12]
    mov cx, 90
.bs:
    mov al, [es:bx]
    call put_byte
    inc bx
    loop .bs

    mov si, text_int1e
    call put_text
    xor ax, ax
    mov es, ax
    mov ax, [es:0x1E * 4 + 2]
    call put_word
    mov al, ':'
    call put_char
    mov ax, [es:0x1E * 4]
    call put_word

    mov si, text_tokens
    call put_text
    mov bx, TOKEN
    mov dx, SECTORS
.sector:
    mov cx, 8
    push bx
.token:
    mov al, [bx]
    call put_byte
    inc bx
    loop .token
    pop bx
    mov al, ' '
    call put_char
    add bx, 512
    dec dx
    jnz .sector

    mov si, text_end
    call put_text
    cli
.halt:
    hlt
    jmp .halt

put_text:
    lodsb
    test al, al
    jz .done
    call put_char
    jmp put_text
.done:
    ret

put_word:
    push ax
    mov al, ah
    call put_byte
    pop ax
put_byte:
    push ax
    shr al, 4
    call put_digit
    pop ax
put_digit:
    push ax
    and al, 0x0F
    add al, '0'
    cmp al, '9'
    jbe .out
    add al, 'A' - '9' - 1
.out:
    call put_char
    pop ax
    ret

put_char:
    push dx
    push ax
    mov dx, COM1 + 5
.wait:
    in al, dx
    test al, 0x20
    jz .wait
    pop ax
    mov dx, COM1
    out dx, al
    pop dx
    ret

text_hello: db "KELVADO-STANDIN", 13, 10, 0
text_entry: db "entry=", 0
text_regs: db 13, 10, "regs=", 0
text_below: db 13, 10, "below=", 0
text_stack: db 13, 10, "stack=", 0
text_bs: db 13, 10, "bs=", 0
text_int1e: db 13, 10, "int1e=", 0
text_tokens: db 13, 10, "tokens=", 0
text_end: db 13, 10, "END", 13, 10, 0

entry_ip: dw 0
saved: times 12 dw 0

    times 512 + TOKEN - ($ - $$) db 0
%assign s 1
%rep SECTORS - 2
    times 8 db 0
    times (s + 1) * 512 + TOKEN - ($ - $$) db 0
%assign s s + 1
%endrep
    times 8 db 0
