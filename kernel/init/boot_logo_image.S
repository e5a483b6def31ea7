/* The boot logo, a YRF image drawn at build time by tools/boot_logo and
   linked into the read-only data. The build names the file's path. */
    .section .rodata
    .balign 4
    .global tavlin_boot_logo
tavlin_boot_logo:
    .incbin TAVLIN_BOOT_LOGO
    .global tavlin_boot_logo_end
tavlin_boot_logo_end:

    .section .note.GNU-stack, "", @progbits
