; The FAT32 boot record: the boot sector with the parameter block the engine fills in (volume
; sector 0, backup at 6) and the continuation of its boot code (volume sector 2, backup at 8).
;
; The boot sector reads the continuation to 7E00 and goes on there; the continuation walks the
; root directory's cluster chain for IO.SYS (WINBOOT.SYS when there is no IO.SYS, as during
; setup) and hands over to it (see handover.inc). The continuation uses the boot sector's
; disk_read, fail, file names and messages, which stay at 7C00.
;
; Memory: the boot sector at 7C00, the first FAT sector below it at [BP-8] and the first data
; sector at [BP-4], the stack below 7BF8, the continuation at 7E00, directory sectors read to
; 8000, FAT sectors to 8200, the system file to 0700.
cpu 386
bits 16
org 0x7C00

%define DISK_DRIVE bp + 64      ; BS_DrvNum
%define DISK_MODE bp + 2        ; the byte after the jump
%define DISK_SPT bp + 24        ; BPB_SecPerTrk
%define DISK_HEADS bp + 26      ; BPB_NumHeads

CONTINUATION equ 0x7E00
DIR_BUFFER equ 0x8000
FAT_BUFFER equ 0x8200

    jmp short boot_code
    nop
    db "MSWIN4.1"
    dw 512                      ; BPB_BytsPerSec
    db 0                        ; BPB_SecPerClus, set when formatting
    dw 32                       ; BPB_RsvdSecCnt
    db 2                        ; BPB_NumFATs
    dw 0                        ; BPB_RootEntCnt: the root directory is a cluster chain
    dw 0                        ; BPB_TotSec16
    db 0xF8                     ; BPB_Media: fixed disk
    dw 0                        ; BPB_FATSz16
    dw 0                        ; BPB_SecPerTrk, set when formatting
    dw 0                        ; BPB_NumHeads, set when formatting
    dd 0                        ; BPB_HiddSec, set when formatting
    dd 0                        ; BPB_TotSec32, set when formatting
    dd 0                        ; BPB_FATSz32, set when formatting
    dw 0                        ; BPB_ExtFlags: both FATs mirrored
    dw 0                        ; BPB_FSVer
    dd 2                        ; BPB_RootClus
    dw 1                        ; BPB_FSInfo
    dw 6                        ; BPB_BkBootSec
    times 12 db 0               ; BPB_Reserved
    db 0x80                     ; BS_DrvNum
    db 0                        ; BS_Reserved1
    db 0x29                     ; BS_BootSig
    dd 0                        ; BS_VolID, set when formatting
    db "NO NAME    "            ; BS_VolLab
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
    movzx ecx, byte [bp + 16]   ; BPB_NumFATs
    mov edx, [bp + 36]          ; BPB_FATSz32
    imul edx, ecx
    add edx, eax
    mov [bp - 4], edx

    mov eax, [bp + 28]
    add eax, 2                  ; the continuation: volume sector 2
    mov bx, CONTINUATION
    call disk_read
    cmp word [CONTINUATION + 510], 0xAA55
    je continuation
disk_error:
    mov si, msg_disk_error
    jmp fail

%include "disk.inc"

io_sys: db "IO      SYS"
winboot_sys: db "WINBOOT SYS"
; MS-DOS 7's IO.SYS reads MSDOS.SYS itself; its name stays with the system's other file names.
msdos_sys: db "MSDOS   SYS"
msg_no_system: db "No IO.SYS", 0
msg_disk_error: db "Disk read error", 0

    times 510 - ($ - $$) db 0
    dw 0xAA55

; Volume sector 2, at 7E00.
continuation:
    mov si, io_sys
    call find_file
    jnc load_system
    mov si, winboot_sys
    call find_file
    jnc load_system
    mov si, msg_no_system
    jmp fail

; SI = an 11-byte directory name. EAX = the first cluster of the root directory's entry of that
; name, carry clear; carry set when the directory has none.
find_file:
    mov eax, [bp + 44]          ; BPB_RootClus
.cluster:
    push eax
    call cluster_sector
    mov bx, DIR_BUFFER
.sector:
    call disk_read
    mov di, bx
.entry:
    cmp byte [di], 0            ; the end of the directory
    je .absent
    pusha
    mov cx, 11
    repe cmpsb
    popa
    je .found
    add di, 32
    cmp di, DIR_BUFFER + 512
    jb .entry
    inc eax
    loop .sector
    pop eax
    call cluster_next
    jnc .cluster
    ret
.absent:
    pop eax
    stc
    ret
.found:
    pop eax
    push word [di + 20]         ; DIR_FstClusHI
    push word [di + 26]         ; DIR_FstClusLO
    pop eax
    clc
    ret

; EAX = a cluster; EAX = the next one from the first FAT, carry set at the chain's end or at a
; number that cannot be a cluster (BX kept, SI kept).
cluster_next:
    push bx
    push si
    mov si, ax
    and si, 0x7F
    shl si, 2
    shr eax, 7                  ; 128 entries a sector
    add eax, [bp - 8]
    mov bx, FAT_BUFFER
    call disk_read
    mov eax, [bx + si]
    and eax, 0x0FFFFFFF
    cmp eax, 2
    jb .end
    cmp eax, 0x0FFFFFF7         ; bad cluster and end marks
    cmc
    jmp .out
.end:
    stc
.out:
    pop si
    pop bx
    ret

%include "handover.inc"

    times 1022 - ($ - $$) db 0
    dw 0xAA55
