#include "engine/engine.h"

#include "engine/loader.h"
#include "engine/parallel_pass.h"
#include "platform/expect.h"
#include "platform/memory.h"

bool engine_load(Engine* engine, ByteSource* patterns, const LetterTable* letters, int* error)
{
    // The compiled matcher finds the failure links it needs itself.
    PatternAutomaton* automaton = load_patterns_from(patterns, error, FailureLinks::left_out);
    if (automaton == nullptr) return false;
    engine_build(engine, automaton, letters);
    engine->owns_automaton = true;
    return true;
}

void engine_build(Engine* engine, PatternAutomaton* automaton, const LetterTable* letters)
{
    engine->automaton = automaton;
    engine->owns_automaton = false;
    engine->image = nullptr;
    engine->compiled = compile_automaton(automaton);
    fast_marker_build(&engine->marker, engine->compiled, letters);
}

bool engine_build_from_image(Engine* engine, const unsigned char* bytes, std::size_t size,
                             const LetterTable* letters)
{
    AutomatonImage* image = static_cast<AutomatonImage*>(must_alloc(sizeof(AutomatonImage)));
    if (!automaton_image_read(image, bytes, size)) {
        mem_release(image);
        return false;
    }
    engine->automaton = nullptr;
    engine->owns_automaton = false;
    engine->image = image;
    engine->compiled = compile_image(image);
    fast_marker_build(&engine->marker, engine->compiled, letters);
    return true;
}

void engine_destroy(Engine* engine)
{
    compiled_automaton_destroy(engine->compiled);
    if (engine->owns_automaton) automaton_destroy(engine->automaton);
    mem_release(engine->image);
    engine->compiled = nullptr;
    engine->automaton = nullptr;
    engine->image = nullptr;
}

void engine_set_word_rule(Engine* engine, MarkRule rule, WordAdjust adjust, const void* context,
                          std::int64_t min_run)
{
    fast_marker_set_rule(&engine->marker, rule, adjust, context, min_run);
}

bool engine_share(const Engine* engine)
{
    return compiled_share(engine->compiled);
}

MarkOptions mark_options_for(unsigned processors, std::int64_t size)
{
    // A text too small for threads to pay off is marked here alone.
    const bool small = size >= 0 && size <= static_cast<std::int64_t>(ALONE_BYTES);
    const bool threaded = processors >= THREADS_FROM && !small;
    return MarkOptions{threaded, threaded ? processors - 1 : 0, PIECE_BYTES, ALONE_BYTES, TEXT_CHUNK};
}

StreamEnd engine_mark(const Engine* engine, ByteSource* text, const MarkSink* out, int* error,
                      const MarkOptions& options)
{
    ZARNET_EXPECT(engine->compiled != nullptr && out != nullptr && out->put != nullptr);
    if (options.threaded) {
        return run_text_parallel(&engine->marker, text, out, error,
                                 {options.workers, options.piece, options.alone_bytes});
    }
    return run_text_stream(&engine->marker, text, out, error, options.chunk);
}

void engine_run_marks(const Engine* engine, const unsigned char* run, std::int64_t length,
                      std::uint64_t marks[RUN_MARK_WORDS])
{
    run_marks(&engine->marker, run, length, marks);
}
