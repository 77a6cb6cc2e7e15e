// The steps of busprobe: marker search, size probe and sheet append.
#ifndef BUSPROBE_PROBE_H
#define BUSPROBE_PROBE_H

// Searches the log, as text whatever bytes it holds, for a line that contains
// marker as a fixed text: 0 when there is one, -1 otherwise. A marker that
// cannot be searched (too long for the command, or holding a character that
// the shell reads between double quotes) or a search without a temporary file
// counts as absent.
int check_log_exist(const char *marker);

// Size of the file in bytes, or -1 (printing nothing) when it cannot be examined.
long check_file_size(const char *path);

// Appends the row "name \t pass" (outcome "pass") or "name \t failed" (any
// other outcome) to the result sheet with result_sheet_append: 0, or -1,
// printing "fopen error!", when no row was written (the sheet cannot be
// opened, is a symbolic link or no regular file, or the write failed).
int xls_write(const char *name, const char *outcome);

#endif
