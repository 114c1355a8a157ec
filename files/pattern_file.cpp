#include "files/pattern_file.h"

#include <cstdio>

#include "files/file_source.h"
#include "platform/file_system.h"

PatternAutomaton* load_patterns(const char* path, int* error, FailureLinks links)
{
    int open_error = 0;
    std::FILE* file = open_for_reading(path, &open_error);
    if (file == nullptr) {
        if (error != nullptr) *error = open_error;
        return nullptr;
    }
    ByteSource source = byte_source_from_file(file);
    PatternAutomaton* automaton = load_patterns_from(&source, error, links);
    std::fclose(file);
    return automaton;
}
