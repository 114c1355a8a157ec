#pragma once
// A pattern automaton as bytes, and back: the same states, numbered alike,
// with the same transitions in the same order and the same outputs; failure
// links are not kept. A program that carries the image of a pattern set
// has its automaton at once, without reading the pattern file.
//
// The image is four numbers: the states, the longest output, the room the
// transitions take (for each state its count rounded up to a power of two)
// and the bytes of the outputs; then the outputs, each once and ended by a
// NUL; then for each state in order its output (where it begins, plus one;
// 0 for none), its transition count, and each transition's letter and
// target, the target as its distance from the state (zigzag, so near
// targets either way take one byte). Numbers are written seven bits to a
// byte, lowest first.

#include <cstddef>
#include <string>

#include "engine/automaton.h"

std::string automaton_image(const PatternAutomaton* automaton);

// The automaton an image holds, the caller's until automaton_destroy; null
// when the bytes are not a whole image.
PatternAutomaton* automaton_from_image(const unsigned char* image, std::size_t size);
