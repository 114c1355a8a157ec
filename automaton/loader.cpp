#include "automaton/loader.h"

#include <cstring>

#include "automaton/pattern_line.h"
#include "automaton/string_index.h"
#include "common/memory.h"
#include "common/text_mode_reader.h"

namespace {

// Adds one parsed pattern: its state gets the output (a later line with the
// same letters replaces an earlier one), and each prefix that did not exist
// yet is created and linked to its parent, longest first.
void add_pattern(PatternAutomaton* automaton, StringIndex* index, const PatternLine* parsed)
{
    char key[PATTERN_LINE_MAX];
    std::memcpy(key, parsed->letters, parsed->letter_count + 1);
    std::size_t length = parsed->letter_count;

    // A string existed before exactly when its state number is older than
    // the count of states before the call.
    std::int32_t before = automaton->count;
    std::int32_t state = automaton_state_for(automaton, index, key);
    bool existed = state < before;
    mem_release(automaton->states[state].output);
    automaton->states[state].output = copy_string(pattern_line_output(parsed));

    while (!existed) {
        const std::int32_t child = state;
        const unsigned char letter = static_cast<unsigned char>(key[length - 1]);
        key[--length] = '\0';
        before = automaton->count;
        state = automaton_state_for(automaton, index, key);
        existed = state < before;
        automaton_add_transition(automaton, state, child, letter);
    }
}

// Every non-root state fails over to its longest proper suffix that is a state.
void link_failures(PatternAutomaton* automaton, const StringIndex* index)
{
    for (std::uint32_t bucket = 0; bucket < INDEX_BUCKETS; ++bucket) {
        for (const IndexEntry* entry = index->buckets[bucket]; entry != nullptr; entry = entry->next) {
            const char* key = entry->key;
            if (key[0] == '\0') continue;
            for (const char* suffix = key + 1;; ++suffix) {
                const std::int32_t found = string_index_find(index, suffix);
                if (found >= 0) {
                    automaton->states[entry->value].failure = found;
                    break;
                }
            }
        }
    }
}

}  // namespace

PatternAutomaton* load_patterns(const char* path, int* error)
{
    TextModeReader* reader = static_cast<TextModeReader*>(must_alloc(sizeof(TextModeReader)));
    if (!text_mode_reader_open(reader, path)) {
        if (error != nullptr) *error = reader->error;
        mem_release(reader);
        return nullptr;
    }

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
    const int read_error = reader->error;
    text_mode_reader_close(reader);
    mem_release(reader);

    if (read_error != 0) {
        string_index_destroy(index);
        automaton_destroy(automaton);
        if (error != nullptr) *error = read_error;
        return nullptr;
    }

    link_failures(automaton, index);
    string_index_destroy(index);
    return automaton;
}
