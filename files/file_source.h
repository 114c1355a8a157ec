#pragma once
// An open file as a source of bytes for the engine.

#include <cstdio>

#include "engine/byte_source.h"

ByteSource byte_source_from_file(std::FILE* file);
