// Runs a fuzz target once on every file of the folders (or files) named on
// the command line, without the fuzzing engine: the corpora become ordinary
// tests with any compiler, and a program for valgrind.
#include <dirent.h>
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

namespace {

bool run_file(const char *path) {
    FILE *f = fopen(path, "rb");
    if (f == nullptr) {
        fprintf(stderr, "replay: cannot open %s\n", path);
        return false;
    }
    static uint8_t buffer[1 << 20];
    const size_t size = fread(buffer, 1, sizeof buffer, f);
    const bool whole = feof(f) != 0;
    fclose(f);
    if (!whole) {
        fprintf(stderr, "replay: %s is larger than %zu bytes\n", path, sizeof buffer);
        return false;
    }
    // An exact-size copy, so that a read past the input is caught.
    uint8_t *data = static_cast<uint8_t *>(malloc(size ? size : 1));
    if (size) memcpy(data, buffer, size);
    LLVMFuzzerTestOneInput(data, size);
    free(data);
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    int files = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        struct stat st;
        if (stat(argv[i], &st) != 0) {
            fprintf(stderr, "replay: no such file or folder: %s\n", argv[i]);
            return 1;
        }
        if (!S_ISDIR(st.st_mode)) {
            ok = run_file(argv[i]) && ok;
            ++files;
            continue;
        }
        DIR *dir = opendir(argv[i]);
        if (dir == nullptr) return 1;
        errno = 0;
        while (struct dirent *e = readdir(dir)) {
            if (e->d_name[0] == '.') continue;
            char path[4096];
            snprintf(path, sizeof path, "%s/%s", argv[i], e->d_name);
            ok = run_file(path) && ok;
            ++files;
            errno = 0;
        }
        if (errno != 0) {
            fprintf(stderr, "replay: cannot read the folder %s\n", argv[i]);
            ok = false;
        }
        closedir(dir);
    }
    printf("replayed %d inputs\n", files);
    return ok && files > 0 ? 0 : 1;
}
