/* Interrupt entry stubs for vectors 0..47. Each pushes an error code (a zero
   where the CPU pushes none) and its vector, then joins the common path that
   saves the registers and calls the C++ dispatcher. */
    .text

.macro STUB vector, cpu_pushes_error
isr_stub_\vector:
    .if \cpu_pushes_error == 0
    push $0
    .endif
    push $\vector
    jmp isr_common
.endm

.irp v, 0,1,2,3,4,5,6,7,9,15,16,18,19,20,22,23,24,25,26,27,28,31
    STUB \v, 0
.endr
.irp v, 8,10,11,12,13,14,17,21,29,30
    STUB \v, 1
.endr
.irp v, 32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47
    STUB \v, 0
.endr

isr_common:
    pusha
    cld
    push %esp                        /* InterruptFrame* */
    call tavlin_interrupt_dispatch
    add $4, %esp
    popa
    add $8, %esp                     /* vector and error code */
    iret

    .section .rodata
    .global isr_stub_table
    .balign 4
isr_stub_table:
.irp v, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47
    .long isr_stub_\v
.endr

    .section .note.GNU-stack, "", @progbits
