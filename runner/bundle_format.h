/*
 * The numbers of the console bundle's format 2 that its writer (bundle.c)
 * and its reader (unpack.c) share. Internal to runner/.
 */
#ifndef CAPI_RUN_BUNDLE_FORMAT_H
#define CAPI_RUN_BUNDLE_FORMAT_H

#define BUNDLE_FORMAT "2"
/* Compressed bytes per data line: 128 characters of base64. */
#define BUNDLE_CHUNK 96
/* Data lines per parity line. */
#define BUNDLE_GROUP 8
/* A part's bytes are compressed in blocks of this many, each a zlib stream
 * of its own: a block lost beyond repair loses only itself. (zlib's window
 * is 32 KiB: each block begins without one, and twice that is where the
 * blocks cost little more than one stream.) */
#define BUNDLE_BLOCK_RAW 65536
/* Room for a block compressed (more than zlib's deflateBound asks). */
#define BUNDLE_BLOCK_PACKED (BUNDLE_BLOCK_RAW + BUNDLE_BLOCK_RAW / 8 + BUNDLE_BLOCK_RAW / 64 + 64)
#define BUNDLE_BLOCK_LINES ((BUNDLE_BLOCK_PACKED + BUNDLE_CHUNK - 1) / BUNDLE_CHUNK)
#define BUNDLE_BLOCK_GROUPS ((BUNDLE_BLOCK_LINES + BUNDLE_GROUP - 1) / BUNDLE_GROUP)
/* Longest line: a start line with a name of 255 bytes, each escaped as \xhh. */
#define BUNDLE_LINE_MAX 1400
/* A file's name escaped, and its NUL. */
#define BUNDLE_NAME_ESCAPED (4 * 255 + 1)
/* Files one part may hold. */
#define BUNDLE_PIECES_MAX 16

#endif /* CAPI_RUN_BUNDLE_FORMAT_H */
