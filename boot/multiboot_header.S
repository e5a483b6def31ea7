/* The Multiboot2 header: 64 bytes at the very start of the image, asking for
   a 1024x768x32 linear framebuffer and for the framebuffer information. */
    .section .multiboot, "a"
    .balign 8
multiboot_header:
    .long 0xE85250D6                 /* magic */
    .long 0                          /* architecture: i386 protected mode */
    .long 64                         /* header length */
    .long 0x17ADAEEA                 /* checksum: the four fields sum to 0 */
    /* framebuffer tag */
    .word 5, 0
    .long 20
    .long 1024, 768, 32
    .long 0                          /* pad to 8 bytes */
    /* information request: framebuffer info */
    .word 1, 0
    .long 12
    .long 8
    .long 0                          /* pad to 8 bytes */
    /* end tag */
    .word 0, 0
    .long 8
multiboot_header_end:
    .if (multiboot_header_end - multiboot_header) != 64
    .error "Multiboot2 header must be 64 bytes"
    .endif

    .section .note.GNU-stack, "", @progbits
