// The encodings spreadsheets write CSV in: UTF-8 (with or without a byte order mark),
// Windows-1252 (Excel's "CSV (séparateur : point-virgule)" on a French computer) and
// UTF-16 with its byte order mark (Excel's "Texte Unicode"). The batch works in UTF-8 or,
// for Windows-1252, on the bytes as they are, and writes in the input's encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "byte_stream.h"

namespace vessane::cli {

enum class TextEncoding { kUtf8, kUtf8Bom, kWindows1252, kUtf16Le, kUtf16Be };

// The encoding of a file from its first bytes: a byte order mark, else UTF-8 when they
// are valid UTF-8 (a sequence cut at their end allowed), else Windows-1252.
TextEncoding DetectEncoding(std::string_view start);
// The byte order mark an encoding writes first ("" for none).
std::string_view ByteOrderMark(TextEncoding encoding);
bool IsValidUtf8(std::string_view text, bool allowCutEnd = false);

// Windows-1252 to UTF-8 and back. The five bytes that Windows-1252 leaves undefined go
// to and from the C1 controls of the same value, so that any byte round-trips; a
// character Windows-1252 lacks becomes '?'.
void AppendWindows1252AsUtf8(std::string& out, std::string_view text);
void AppendUtf8AsWindows1252(std::string& out, std::string_view text);
// Whether a text is all ASCII (then it reads the same in every encoding here).
bool IsAscii(std::string_view text);

// Reads UTF-16 from inner (after its byte order mark) as UTF-8. An unpaired surrogate
// becomes U+FFFD.
class Utf16Source final : public ByteSource {
public:
    Utf16Source(ByteSource& inner, bool bigEndian, std::string_view alreadyRead);
    long Read(char* buffer, std::size_t size) override;

private:
    void Decode(std::string_view bytes);

    ByteSource& inner_;
    bool bigEndian_;
    std::string pendingBytes_;  // an odd byte, or a high surrogate's two
    std::string decoded_;       // UTF-8 not yet handed out
    std::size_t handedOut_ = 0;
};

// Writes UTF-8 to inner as UTF-16 (its byte order mark first).
class Utf16Sink final : public ByteSink {
public:
    Utf16Sink(ByteSink& inner, bool bigEndian) : inner_(inner), bigEndian_(bigEndian) {}
    bool Write(const char* text, std::size_t size) override;

private:
    ByteSink& inner_;
    bool bigEndian_;
    bool markWritten_ = false;
    std::string pending_;  // a UTF-8 sequence cut at the end of the last write
    std::string encoded_;
};

}  // namespace vessane::cli
