/* The sample media every start places into the file tree: a YRF image, a PNG
   image and a ZEVA video, made at build time by tools/media and linked into
   the read-only data. The build names each file's path. */
    .section .rodata
    .balign 4
    .global tavlin_media_yrf
tavlin_media_yrf:
    .incbin TAVLIN_MEDIA_YRF
    .global tavlin_media_yrf_end
tavlin_media_yrf_end:

    .balign 4
    .global tavlin_media_png
tavlin_media_png:
    .incbin TAVLIN_MEDIA_PNG
    .global tavlin_media_png_end
tavlin_media_png_end:

    .balign 4
    .global tavlin_media_zeva
tavlin_media_zeva:
    .incbin TAVLIN_MEDIA_ZEVA
    .global tavlin_media_zeva_end
tavlin_media_zeva_end:

    .section .note.GNU-stack, "", @progbits
