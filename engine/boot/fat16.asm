; The FAT16 boot sector: the parameter block the engine fills in, and boot code that finds
; IO.SYS in the root directory and hands over to it (see handover.inc).
;
; Memory: the boot sector at 7C00, the first FAT sector below it at [BP-8] and the first data
; sector at [BP-4], the stack below 7BF8, directory and FAT sectors read to 7E00, the system file
; to 0700.
cpu 386
bits 16
org 0x7C00

%define DISK_DRIVE bp + 36     ; BS_DrvNum
%define DISK_MODE bp + 2        ; the byte after the jump
%define DISK_SPT bp + 24        ; BPB_SecPerTrk
%define DISK_HEADS bp + 26      ; BPB_NumHeads

BUFFER equ 0x7E00

    jmp short boot_code
    nop
    db "MSWIN4.1"
    dw 512                      ; BPB_BytsPerSec
    db 0                        ; BPB_SecPerClus, set when formatting
    dw 1                        ; BPB_RsvdSecCnt
    db 2                        ; BPB_NumFATs
    dw 512                      ; BPB_RootEntCnt
    dw 0                        ; BPB_TotSec16
    db 0xF8                     ; BPB_Media: fixed disk
    dw 0                        ; BPB_FATSz16, set when formatting
    dw 0                        ; BPB_SecPerTrk, set when formatting
    dw 0                        ; BPB_NumHeads, set when formatting
    dd 0                        ; BPB_HiddSec, set when formatting
    dd 0                        ; BPB_TotSec32, set when formatting
    db 0x80                     ; BS_DrvNum
    db 0                        ; BS_Reserved1
    db 0x29                     ; BS_BootSig
    dd 0                        ; BS_VolID, set when formatting
    db "           "            ; BS_VolLab
    db "        "               ; BS_FilSysType, its first five set when formatting

boot_code:
    xor ax, ax
    mov ss, ax                  ; no interrupt comes between this and the next
    mov sp, 0x7BF8
    mov bp, 0x7C00
    mov ds, ax
    mov es, ax
    sti
    cld
    mov [DISK_DRIVE], dl
    call disk_probe

    movzx eax, word [bp + 14]   ; BPB_RsvdSecCnt
    add eax, [bp + 28]          ; BPB_HiddSec
    mov [bp - 8], eax
    push eax
    mov al, [bp + 16]           ; BPB_NumFATs
    cbw
    mul word [bp + 22]          ; BPB_FATSz16
    push dx
    push ax
    pop eax
    pop edx
    add eax, edx                ; the root directory
    mov cx, [bp + 17]           ; BPB_RootEntCnt
    shr cx, 4                   ; 16 entries a sector
    movzx edx, cx
    add edx, eax
    mov [bp - 4], edx

    mov bx, BUFFER
.dir_sector:
    call disk_read
    mov di, bx
.entry:
    cmp byte [di], 0            ; the end of the directory
    je no_system
    pusha
    mov si, io_sys
    mov cx, 11
    repe cmpsb
    popa
    je system_found
    add di, 32
    jns .entry                  ; the buffer ends at 8000h
    inc eax
    loop .dir_sector
no_system:
    mov si, msg_no_system
    jmp fail
system_found:
    movzx eax, word [di + 26]   ; DIR_FstClusLO
    jmp load_system

; EAX = a cluster; EAX = the next one from the first FAT, carry set at the chain's end
; (SI destroyed).
cluster_next:
    push bx
    movzx si, al
    shl si, 1
    shr eax, 8                  ; 256 entries a sector
    add eax, [bp - 8]
    mov bx, BUFFER
    call disk_read
    movzx eax, word [bx + si]
    cmp ax, 0xFFF7              ; bad cluster and end marks
    cmc
    pop bx
    ret

disk_error:
    mov si, msg_disk_error
    jmp fail

%include "disk.inc"
%include "handover.inc"

io_sys: db "IO      SYS"
; MS-DOS 7's IO.SYS reads MSDOS.SYS itself; its name stays with the system's other file name.
msdos_sys: db "MSDOS   SYS"
msg_no_system: db "No IO.SYS", 0
msg_disk_error: db "Disk read error", 0

    times 510 - ($ - $$) db 0
    dw 0xAA55
