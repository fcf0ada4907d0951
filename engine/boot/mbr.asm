; The master boot record written to sector 0 of the card.
;
; The BIOS loads it to 0000:7C00 with the unit in DL. It moves itself to 0000:0600, checks the
; partition table (each boot indicator 00 or 80, exactly one 80), reads the active partition's
; first sector, found by the start LBA of its entry, to 0000:7C00 and starts it there with DL the
; unit and DS:SI the entry. Reads go through the int 13h extensions when the BIOS has them, else
; by CHS under the geometry the BIOS reports. Failures show "Invalid partition table", "Error
; loading operating system" or "Missing operating system" and stop.
cpu 386
bits 16
org 0x600

%define DISK_DRIVE drive
%define DISK_MODE mode
%define DISK_SPT spt
%define DISK_HEADS heads

PARTITION_TABLE equ 0x600 + 446

start:
    cli
    xor ax, ax
    mov ss, ax
    mov sp, 0x7C00
    mov ds, ax
    mov es, ax
    sti
    cld
    mov si, 0x7C00
    mov di, 0x600
    mov cx, 256
    rep movsw
    jmp 0:relocated

relocated:
    mov [drive], dl
    mov si, PARTITION_TABLE
    mov cx, 4
    xor bp, bp
.entry:
    mov al, [si]
    test al, al
    jz .next
    cmp al, 0x80
    jne invalid
    test bp, bp
    jnz invalid
    mov bp, si
.next:
    add si, 16
    loop .entry
    test bp, bp
    jz invalid

    call disk_probe
    mov eax, [bp + 8]
    mov bx, 0x7C00
    call disk_read
    mov si, msg_missing
    cmp word [0x7DFE], 0xAA55
    jne fail
    mov si, bp
    mov dl, [drive]
    jmp 0:0x7C00

invalid:
    mov si, msg_invalid
    jmp fail
disk_error:
    mov si, msg_loading
    jmp fail

%include "disk.inc"

drive: db 0x80
mode: db 0x90
spt: dw 63
heads: dw 255

msg_invalid: db "Invalid partition table", 0
msg_loading: db "Error loading operating system", 0
msg_missing: db "Missing operating system", 0

    times 446 - ($ - $$) db 0
    times 64 db 0               ; the partition table, written by the engine
    dw 0xAA55
