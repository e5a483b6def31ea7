/* _start: the loader enters here in 32-bit protected mode with the magic in
   EAX and the information block's address in EBX. We switch to our own
   16 KiB stack and pass both to kmain on the stack. */
    .section .bss.stack, "aw", @nobits
    .balign 16
kernel_stack_bottom:
    .skip 16384
kernel_stack_top:

    .section .text.entry, "ax"
    .global _start
    .type _start, @function
_start:
    mov $kernel_stack_top, %esp
    cld
    push %ebx                        /* info */
    push %eax                        /* magic */
    call kmain
    cli
1:  hlt
    jmp 1b

    .section .note.GNU-stack, "", @progbits
