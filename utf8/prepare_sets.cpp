// zarnet_prepare_sets OUT.cpp: writes the C++ source of the built-in sets
// made ready (prepared_sets.h), run when the program is built. Each set's
// characters and automaton are made exactly as a run would make them from
// its pattern and exception files.

#include <cstdio>
#include <string>
#include <string_view>

#include "engine/automaton_image.h"
#include "utf8/pattern_sets.h"
#include "utf8/set_automaton.h"
#include "utf8/utf8_decode.h"

namespace {

// A C++ string literal of the bytes, in lines of modest length.
std::string literal(std::string_view bytes)
{
    std::string out = "\"";
    std::size_t width = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        // Escapes of three digits: no digit after one joins it.
        const bool plain = b >= 0x20 && b < 0x7F && b != '"' && b != '\\' && b != '?';
        char piece[8];
        std::snprintf(piece, sizeof piece, plain ? "%c" : "\\%03o", b);
        out += piece;
        width += std::string_view(piece).size();
        if (width > 100) {
            out += "\"\n    \"";
            width = 0;
        }
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: zarnet_prepare_sets OUT.cpp\n", stderr);
        return 2;
    }
    std::string source =
        "// Made by zarnet_prepare_sets (utf8/prepare_sets.cpp) when the program was built.\n"
        "#include \"utf8/prepared_sets.h\"\n\n"
        "#pragma GCC diagnostic ignored \"-Woverlength-strings\"\n\n"
        "namespace {\n\n";
    std::string table = "const PreparedSet PREPARED_SETS[] = {\n";
    for (std::size_t k = 0; k < PATTERN_SET_COUNT; ++k) {
        const PatternSet& set = PATTERN_SETS[k];
        const std::vector<std::uint32_t> characters = utf8_set_characters(set.patterns, set.exceptions);
        std::string encoded;
        for (const std::uint32_t cp : characters) {
            unsigned char bytes[4];
            encoded.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(utf8_encode(cp, bytes)));
        }
        Utf8Letters letters;
        utf8_letters_make(&letters, characters);
        PatternAutomaton* automaton = utf8_set_automaton(&letters, set.patterns);
        const std::string image = automaton_image(automaton);
        automaton_destroy(automaton);
        const std::string n = std::to_string(k);
        source += "const char characters_" + n + "[] = " + literal(encoded) + ";\n";
        // Aligned as the numbers in it, which are read in place.
        source += "alignas(4) const char image_" + n + "[] = " + literal(image) + ";\n";
        table += "    {{characters_" + n + ", sizeof characters_" + n + " - 1}, {image_" + n + ", sizeof image_" + n +
                 " - 1}},\n";
    }
    source += "\n}  // namespace\n\n" + table +
              "};\n\nconst std::size_t PREPARED_SET_COUNT = sizeof PREPARED_SETS / sizeof PREPARED_SETS[0];\n";
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(source.data(), 1, source.size(), out) != source.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
