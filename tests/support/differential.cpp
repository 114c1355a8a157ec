#include "tests/support/differential.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "byte/letter_table.h"
#include "byte/marked_output.h"
#include "engine/loader.h"
#include "tests/support/plain_pass.h"

namespace {

ByteSource bytes_of(const std::string& text)
{
    return byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

std::string describe(const MarkOptions& o)
{
    if (!o.threaded) return "one thread, blocks of " + std::to_string(o.chunk);
    return std::to_string(o.workers) + " workers, pieces of " + std::to_string(o.piece) + ", " +
           std::to_string(o.alone_bytes) + " bytes alone";
}

std::string first_difference(const std::string& a, const std::string& b)
{
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    return std::to_string(a.size()) + " and " + std::to_string(b.size()) + " bytes differ from byte " +
           std::to_string(at);
}

}  // namespace

std::string mark_plain(const PatternAutomaton* automaton, const MarkingCase& c)
{
    std::vector<unsigned char> output(2 * c.text.size() + 1);
    const std::int64_t size = run_text(automaton, reinterpret_cast<const unsigned char*>(c.text.c_str()),
                                       output.data(), c.smallChars.c_str(), c.largeChars.c_str());
    return std::string(reinterpret_cast<const char*>(output.data()), static_cast<std::size_t>(size));
}

Marked mark_engine(const Engine* engine, const std::string& text, const MarkOptions& options)
{
    ByteSource in = bytes_of(text);
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    Marked marked{{}, StreamEnd::complete, 0};
    marked.end = mark_to_file(engine, &in, out, &marked.error, options);
    std::fclose(out);
    marked.bytes.assign(buffer, length);
    std::free(buffer);
    return marked;
}

MarkOptions one_thread(std::size_t chunk)
{
    return MarkOptions{false, 0, 0, 0, chunk};
}

MarkOptions threads(unsigned workers, std::size_t piece, std::size_t alone_bytes)
{
    return MarkOptions{true, workers, piece, alone_bytes, TEXT_CHUNK};
}

std::string differential_check(const MarkingCase& c, const std::vector<MarkOptions>& options, std::size_t* marks)
{
    // The reference walks the failure links; the program loads without them.
    ByteSource patterns = bytes_of(c.patterns);
    PatternAutomaton* automaton = load_patterns_from(&patterns, nullptr, FailureLinks::made);
    if (automaton == nullptr) return "pattern file not loaded";
    const std::string plain = mark_plain(automaton, c);
    automaton_destroy(automaton);
    if (marks != nullptr) *marks = static_cast<std::size_t>(std::count(plain.begin(), plain.end(), '\xAC'));

    LetterTable letters;
    letter_table_build(&letters, c.smallChars.c_str(), c.largeChars.c_str());
    Engine engines[2];
    for (Engine& engine : engines) {
        patterns = bytes_of(c.patterns);
        if (!engine_load(&engine, &patterns, &letters, nullptr)) return "pattern file not loaded";
    }
    std::string found;
    for (const MarkOptions& o : options) {
        const Marked marked = mark_engine(&engines[o.threaded ? 1 : 0], c.text, o);
        if (marked.end != StreamEnd::complete) {
            found = describe(o) + ": the pass failed";
        } else if (marked.bytes != plain) {
            found = describe(o) + ": " + first_difference(plain, marked.bytes);
        }
        if (!found.empty()) break;
    }
    for (Engine& engine : engines) engine_destroy(&engine);
    return found;
}
