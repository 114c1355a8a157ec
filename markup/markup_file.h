#pragma once
// The marking of one file in a markup format: an HTML or XHTML page, or an
// EPUB book, read whole and written through the output-file layer.

#include "markup/markup_mark.h"

enum class MarkupFormat { text, html, xhtml, epub };

// The format a file's name says: ".html", ".htm": html; ".xhtml", ".xht",
// ".xml": xhtml; ".epub": epub (in any case); else text.
MarkupFormat format_of_name(const char* name);

// Marks in_file into out_file ("-": standard input or output) as `format`
// (html, xhtml or epub; the job's syntax is set from it). Reports a failure
// on standard error and returns 1, else 0.
int markup_mark_file(const MarkupJob* job, MarkupFormat format, const char* in_file, const char* out_file);
