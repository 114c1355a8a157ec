#include "tests/support/index_loader.h"

#include <cstdio>
#include <cstring>

#include "engine/pattern_line.h"
#include "tests/support/string_index.h"
#include "platform/memory.h"
#include "engine/text_mode_reader.h"
#include "files/file_source.h"

std::int32_t automaton_state_for(PatternAutomaton* automaton, StringIndex* index, const char* key)
{
    const std::int32_t found = string_index_find(index, key);
    if (found >= 0) return found;
    string_index_insert(index, key, automaton->count);
    return automaton_append_state(automaton);
}

namespace {

void add_pattern(PatternAutomaton* automaton, StringIndex* index, const PatternLine* parsed)
{
    char key[PATTERN_LINE_MAX];
    std::memcpy(key, parsed->letters, parsed->letter_count + 1);
    std::size_t length = parsed->letter_count;

    bool existed = string_index_find(index, key) >= 0;
    std::int32_t state = automaton_state_for(automaton, index, key);
    const char* output = pattern_line_output(parsed);
    automaton_set_output(automaton, state, output, std::strlen(output));

    while (!existed) {
        const std::int32_t child = state;
        const unsigned char letter = static_cast<unsigned char>(key[length - 1]);
        key[--length] = '\0';
        existed = string_index_find(index, key) >= 0;
        state = automaton_state_for(automaton, index, key);
        automaton_add_transition(automaton, state, child, letter);
    }
}

void link_failures(PatternAutomaton* automaton, const StringIndex* index)
{
    for (std::uint32_t bucket = 0; bucket < INDEX_BUCKETS; ++bucket) {
        for (const IndexEntry* entry = index->buckets[bucket]; entry != nullptr; entry = entry->next) {
            if (entry->key[0] == '\0') continue;
            for (const char* suffix = entry->key + 1;; ++suffix) {
                const std::int32_t found = string_index_find(index, suffix);
                if (found >= 0) {
                    automaton->states[entry->value].failure = found;
                    break;
                }
            }
        }
    }
}

std::string quoted(const char* output)
{
    return output == nullptr ? std::string("null") : std::string("\"").append(output).append("\"");
}

}  // namespace

PatternAutomaton* load_patterns_by_index(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return nullptr;
    ByteSource source = byte_source_from_file(file);
    TextModeReader* reader = static_cast<TextModeReader*>(must_alloc(sizeof(TextModeReader)));
    text_mode_reader_start(reader, &source);
    StringIndex* index = string_index_create();
    string_index_insert(index, "", 0);
    PatternAutomaton* automaton = automaton_create();
    char line[PATTERN_LINE_MAX];
    PatternLine parsed;
    while (text_mode_reader_gets(reader, line, PATTERN_LINE_MAX) > 0) {
        if (pattern_line_is_comment(line)) continue;
        parse_pattern_line(&parsed, line);
        add_pattern(automaton, index, &parsed);
    }
    const bool failed = reader->error != 0;
    std::fclose(file);
    mem_release(reader);
    if (!failed) link_failures(automaton, index);
    string_index_destroy(index);
    if (failed) {
        automaton_destroy(automaton);
        return nullptr;
    }
    return automaton;
}

std::string automaton_difference(const PatternAutomaton* expected, const PatternAutomaton* actual)
{
    if (expected->count != actual->count) {
        return "state counts " + std::to_string(expected->count) + " and " + std::to_string(actual->count);
    }
    for (std::int32_t s = 0; s < expected->count; ++s) {
        const AutomatonState& e = expected->states[s];
        const AutomatonState& a = actual->states[s];
        const std::string at = "state " + std::to_string(s) + ": ";
        if ((e.output == nullptr) != (a.output == nullptr) ||
            (e.output != nullptr && std::strcmp(e.output, a.output) != 0)) {
            return at + "outputs " + quoted(e.output) + " and " + quoted(a.output);
        }
        if (e.failure != a.failure) {
            return at + "failure links " + std::to_string(e.failure) + " and " + std::to_string(a.failure);
        }
        if (e.transition_count != a.transition_count) {
            return at + "transition counts " + std::to_string(e.transition_count) + " and " +
                   std::to_string(a.transition_count);
        }
        for (std::int32_t t = 0; t < e.transition_count; ++t) {
            if (e.transitions[t].letter != a.transitions[t].letter ||
                e.transitions[t].target != a.transitions[t].target) {
                return at + "transition " + std::to_string(t) + " differs";
            }
        }
    }
    return {};
}
