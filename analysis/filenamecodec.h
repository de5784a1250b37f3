// SPDX-License-Identifier: MIT
#pragma once

class QTextCodec;

// File names on Linux are bytes; Qt decodes them with the locale's codec, UTF-8, which turns a
// byte that is not UTF-8 into U+FFFD, so that such a file can be neither opened nor named. This
// installs, in place of a UTF-8 locale codec, one that keeps every such byte as the lone
// surrogate U+DC80 to U+DCFF and writes it back as the same byte, so that every file name the
// system gives, from the command line or a folder, reaches the same file. Call it at start, before
// the command line is decoded.
void installFileNameCodec();

// The codec of the locale for text (a screenplay without a byte-order mark is decoded with it),
// as it was before installFileNameCodec: undecodable bytes in text stay U+FFFD.
QTextCodec *localeTextCodec();
