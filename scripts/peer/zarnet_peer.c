/*
 * zarnet_peer: marks a text the way zarnet does, but with Debian's
 * libhyphen doing the hyphenation.  Used to cross-check zarnet's expected
 * results and, later, as a point of comparison for benchmarks.
 *
 *   zarnet_peer DICT SMALL LARGE [INPUT [OUTPUT]]
 *
 * DICT is a libhyphen dictionary (made from a zarnet pattern file by
 * build.sh), SMALL and LARGE are files holding the raw bytes of the small
 * and large alphabets.  The text is read from INPUT (default stdin) as
 * bytes and ends at its first NUL byte.  Every maximal run of letters
 * (bytes of either alphabet) is folded to the small alphabet, hyphenated
 * by libhyphen with left and right hyphen minimum 2, and written in its
 * original case with the byte 0xAC after each letter where libhyphen
 * allows a break; only letters 0..254 of a run are ever marked, as in
 * zarnet.  All other bytes are copied unchanged.
 *
 * With -c, nothing is written; the number of runs, the number of marks
 * and the hyphenation time in nanoseconds are printed to stderr.
 */
#define _POSIX_C_SOURCE 200809L
#include <hyphen.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { MARK = 0xAC, MAX_MARKED = 255 };

static void die(const char *what, const char *name)
{
    fprintf(stderr, "zarnet_peer: %s%s%s\n", what, name ? ": " : "",
            name ? name : "");
    exit(2);
}

/* Reads a whole file (or stdin for NULL / "-") as bytes. */
static unsigned char *slurp(const char *name, size_t *size)
{
    FILE *f = (!name || strcmp(name, "-") == 0) ? stdin : fopen(name, "rb");
    if (!f)
        die("cannot open", name);
    size_t cap = 1 << 16, n = 0;
    unsigned char *buf = malloc(cap);
    if (!buf)
        die("out of memory", NULL);
    for (;;) {
        if (n == cap) {
            cap *= 2;
            buf = realloc(buf, cap);
            if (!buf)
                die("out of memory", NULL);
        }
        size_t got = fread(buf + n, 1, cap - n, f);
        n += got;
        if (got == 0) {
            if (ferror(f))
                die("cannot read", name);
            break;
        }
    }
    if (f != stdin)
        fclose(f);
    *size = n;
    return buf;
}

static double now_ns(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

int main(int argc, char **argv)
{
    int count_only = 0;
    if (argc > 1 && strcmp(argv[1], "-c") == 0) {
        count_only = 1;
        argv++;
        argc--;
    }
    if (argc < 4 || argc > 6) {
        fprintf(stderr,
                "usage: zarnet_peer [-c] DICT SMALL LARGE [INPUT [OUTPUT]]\n");
        return 2;
    }
    HyphenDict *dict = hnj_hyphen_load(argv[1]);
    if (!dict)
        die("cannot load dictionary", argv[1]);

    size_t nsmall, nlarge, ntext;
    unsigned char *small = slurp(argv[2], &nsmall);
    unsigned char *large = slurp(argv[3], &nlarge);
    unsigned char *text = slurp(argc > 4 ? argv[4] : NULL, &ntext);
    unsigned char *nul = memchr(text, 0, ntext);
    if (nul)
        ntext = (size_t)(nul - text);

    /* letter table and folding, as zarnet does it */
    int is_letter[256] = {0};
    unsigned char fold[256];
    for (int b = 0; b < 256; b++)
        fold[b] = (unsigned char)b;
    for (size_t i = 0; i < nsmall; i++)
        is_letter[small[i]] = 1;
    for (size_t i = 0; i < nlarge; i++)
        is_letter[large[i]] = 1;
    for (int b = 0; b < 256; b++) {
        if (memchr(small, b, nsmall))
            continue;
        unsigned char *p = memchr(large, b, nlarge);
        if (p && (size_t)(p - large) < nsmall)
            fold[b] = small[p - large];
    }

    FILE *out = stdout;
    if (!count_only && argc > 5) {
        out = fopen(argv[5], "wb");
        if (!out)
            die("cannot create", argv[5]);
    }

    size_t cap = 256;
    char *word = malloc(cap), *hyphens = malloc(cap + 5);
    if (!word || !hyphens)
        die("out of memory", NULL);
    unsigned long runs = 0, marks = 0;
    double spent = 0;

    size_t i = 0;
    while (i < ntext) {
        if (!is_letter[text[i]]) {
            if (!count_only)
                putc(text[i], out);
            i++;
            continue;
        }
        size_t j = i;
        while (j < ntext && is_letter[text[j]])
            j++;
        size_t len = j - i;
        if (len + 1 > cap) {
            while (len + 1 > cap)
                cap *= 2;
            word = realloc(word, cap);
            hyphens = realloc(hyphens, cap + 5);
            if (!word || !hyphens)
                die("out of memory", NULL);
        }
        for (size_t k = 0; k < len; k++)
            word[k] = (char)fold[text[i + k]];
        word[len] = 0;
        memset(hyphens, '0', len + 5);
        char **rep = NULL;
        int *pos = NULL, *cut = NULL;
        double t0 = count_only ? now_ns() : 0;
        if (hnj_hyphen_hyphenate3(dict, word, (int)len, hyphens, NULL, &rep,
                                  &pos, &cut, 2, 2, 2, 2) != 0)
            die("libhyphen failed on a word", NULL);
        if (count_only)
            spent += now_ns() - t0;
        if (rep) {
            /* non-standard hyphenation: none of zarnet's pattern files has
             * such rules, so this means something is wrong */
            die("libhyphen returned a replacement", NULL);
        }
        runs++;
        for (size_t k = 0; k < len; k++) {
            int marked = k < MAX_MARKED && (hyphens[k] & 1);
            marks += marked;
            if (!count_only) {
                putc(text[i + k], out);
                if (marked)
                    putc(MARK, out);
            }
        }
        free(pos);
        free(cut);
        i = j;
    }
    if (count_only)
        fprintf(stderr, "runs %lu marks %lu hyphenation_ns %.0f\n", runs,
                marks, spent);
    if (out != stdout && fclose(out) != 0)
        die("cannot write", argv[5]);
    if (out == stdout && fflush(stdout) != 0)
        die("cannot write", "stdout");
    free(word);
    free(hyphens);
    free(small);
    free(large);
    free(text);
    hnj_hyphen_free(dict);
    return 0;
}
