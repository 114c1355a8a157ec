#pragma once
// Random marking cases (a pattern file, the alphabets and a text) for tests
// that compare two ways of marking: every byte of the alphabets is from 1 to
// 255, and the pattern files have comments, long lines, CR LF and 0x1A.

#include <cstddef>
#include <initializer_list>
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

// Pattern files of shapes that are hard on a loader or a matcher.
enum class HostileShape {
    long_shared_prefix,  // every line starts with the same 70 letters
    full_lines,          // lines of 78 bytes from a small pool of letters: long overlaps
    repeated_lines,      // a few lines again and again, with other digits each time
    runs_of_one_letter,  // "a", "aa" ... up to 78 letters: failure chains as deep as they go
    every_byte,          // letters from every byte above 0x20: 200-odd classes
};

constexpr HostileShape HOSTILE_SHAPES[] = {HostileShape::long_shared_prefix, HostileShape::full_lines,
                                           HostileShape::repeated_lines, HostileShape::runs_of_one_letter,
                                           HostileShape::every_byte};

inline const char* hostile_shape_name(HostileShape shape)
{
    switch (shape) {
    case HostileShape::long_shared_prefix: return "long shared prefix";
    case HostileShape::full_lines: return "full lines";
    case HostileShape::repeated_lines: return "repeated lines";
    case HostileShape::runs_of_one_letter: return "runs of one letter";
    case HostileShape::every_byte: return "every byte";
    }
    return "?";
}

// About `lines` lines of the shape; the letters are a, b, c and "." except
// for every_byte.
inline std::string hostile_pattern_file(HostileShape shape, int lines, std::mt19937* random)
{
    const auto below = [random](int n) { return static_cast<int>((*random)() % static_cast<unsigned>(n)); };
    const auto digit = [&below]() { return static_cast<char>('0' + below(10)); };
    std::string file;
    if (shape == HostileShape::long_shared_prefix) {
        std::string prefix;
        for (int k = 0; k < 70; ++k) prefix += "abc."[below(4)];
        for (int i = 0; i < lines; ++i) {
            std::string line = prefix.substr(static_cast<std::size_t>(below(3)));
            for (int k = below(8); k >= 0; --k) line += below(3) == 0 ? digit() : "abc."[below(4)];
            file += line + "\n";
        }
    } else if (shape == HostileShape::full_lines) {
        for (int i = 0; i < lines; ++i) {
            std::string line;
            while (line.size() < 78) line += below(8) == 0 ? digit() : "ab"[below(2)];
            file += line + "\n";
        }
    } else if (shape == HostileShape::repeated_lines) {
        const std::string pool[] = {"a1b", "ab2c", ".a3", "b4c.", "abcabc5"};
        for (int i = 0; i < lines; ++i) {
            std::string line = pool[below(5)];
            for (char& c : line) {
                if (c >= '0' && c <= '9') c = digit();
            }
            file += line + "\n";
        }
    } else if (shape == HostileShape::runs_of_one_letter) {
        for (int i = 0; i < lines; ++i) {
            const int length = 1 + below(78);
            std::string line(static_cast<std::size_t>(length), 'a');
            if (below(2) == 0) line[static_cast<std::size_t>(below(length))] = "bc"[below(2)];
            if (length < 78) line.insert(static_cast<std::size_t>(below(length + 1)), 1, digit());
            file += line + "\n";
        }
    } else {
        for (int i = 0; i < lines; ++i) {
            std::string line;
            for (int k = 1 + below(40); k > 0; --k) {
                if (below(4) == 0) line += digit();
                char c = static_cast<char>(0x21 + below(0xDF));
                if (line.empty() && c == '%') c = 'x';
                line += c;
            }
            file += line + "\n";
        }
    }
    return file;
}
