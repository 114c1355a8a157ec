#pragma once
// Random marking cases (a pattern file, the alphabets and a text) for tests
// that compare two ways of marking: every byte of the alphabets is from 1 to
// 255, and the pattern files have comments, long lines, CR LF and 0x1A.

#include <cstddef>
#include <random>
#include <string>

struct MarkingCase {
    std::string patterns;    // pattern file bytes
    std::string smallChars;
    std::string largeChars;
    std::string text;
};

// Random cases built from a small pool of letters, so that patterns overlap
// and words match many of them.
struct CaseGenerator {
    std::mt19937 random;

    int below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    std::string alphabet_bytes(int count)
    {
        std::string bytes;
        while (static_cast<int>(bytes.size()) < count) {
            unsigned char b = static_cast<unsigned char>(1 + below(255));
            // Now and then an awkward letter: the frame byte, a digit, the mark itself.
            if (below(8) == 0) b = static_cast<unsigned char>(".5\xAC"[below(3)]);
            if (bytes.find(static_cast<char>(b)) == std::string::npos) bytes.push_back(static_cast<char>(b));
        }
        return bytes;
    }

    std::string pattern_file(const std::string& letters)
    {
        std::string file;
        const int lines = below(120);
        const char* end_of_line = below(3) == 0 ? "\r\n" : "\n";
        for (int i = 0; i < lines; ++i) {
            const int kind = below(20);
            if (kind == 0) {
                file += "% comment " + std::to_string(i);
            } else if (kind == 1) {
                file += below(2) == 0 ? "" : " \tab1c";
            } else if (kind == 2) {
                file.append(70 + static_cast<std::size_t>(below(40)), letters[static_cast<std::size_t>(below(3))]);
            } else {
                if (below(4) == 0) file += '.';
                const int length = 1 + below(6);
                for (int k = 0; k < length; ++k) {
                    if (below(3) == 0) file += static_cast<char>('0' + below(10));
                    file += letters[static_cast<std::size_t>(below(static_cast<int>(letters.size())))];
                }
                if (below(3) == 0) file += static_cast<char>('0' + below(10));
                if (below(6) == 0) file += '.';
            }
            file += end_of_line;
        }
        if (below(10) == 0) file += "\x1A" "a9b\n";
        return file;
    }

    std::string text(const MarkingCase& c, std::size_t size)
    {
        const std::string letters = c.smallChars + c.largeChars;
        std::string text;
        while (text.size() < size) {
            const int kind = below(40);
            if (kind == 0) {
                text.append(250 + static_cast<std::size_t>(below(400)), letters[0]);  // a very long run
            } else if (kind < 4) {
                text += static_cast<char>(below(256));  // any byte at all, NUL included now and then
            } else {
                const int length = 1 + below(12);
                for (int k = 0; k < length; ++k) {
                    text += letters[static_cast<std::size_t>(below(static_cast<int>(letters.size())))];
                }
                text += " ,\n-"[below(4)];
            }
        }
        return text;
    }

    MarkingCase make(std::size_t text_size)
    {
        MarkingCase c;
        const int letters = 2 + below(8);
        c.smallChars = alphabet_bytes(letters);
        c.largeChars = alphabet_bytes(letters + (below(4) == 0 ? 1 + below(3) : 0));
        c.patterns = pattern_file(c.smallChars + ".");
        c.text = text(c, text_size);
        return c;
    }
};
