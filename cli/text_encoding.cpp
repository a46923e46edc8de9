#include "text_encoding.h"

#include <algorithm>

namespace vessane::cli {
namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F (the rest are Latin-1's).
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the UTF-8 sequence that starts with byte b, 0 if b cannot start one.
std::size_t SequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF4) return 4;
    return 0;
}

// Decodes the valid sequence at text[at] (of length n); false if it is not one.
bool DecodeSequence(std::string_view text, std::size_t at, std::size_t n, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    c = n == 1 ? byte(0) : n == 2 ? byte(0) & 0x1F : n == 3 ? byte(0) & 0x0F : byte(0) & 0x07;
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return false;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    // No overlong form, no surrogate, nothing past U+10FFFF.
    static constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    return c >= kLeast[n] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

void AppendUtf16(std::string& out, char32_t c, bool bigEndian) {
    const auto unit = [&](char16_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    if (c < 0x10000) {
        unit(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        unit(static_cast<char16_t>(0xD800 + (c >> 10)));
        unit(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

}  // namespace

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

bool IsValidUtf8(std::string_view text, bool allowCutEnd) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = SequenceLength(static_cast<unsigned char>(text[at]));
        if (n == 0) return false;
        if (at + n > text.size()) return allowCutEnd;
        char32_t c;
        if (n > 1 && !DecodeSequence(text, at, n, c)) return false;
        at += n;
    }
    return true;
}

TextEncoding DetectEncoding(std::string_view start) {
    if (start.substr(0, 3) == "\xEF\xBB\xBF") return TextEncoding::kUtf8Bom;
    if (start.substr(0, 2) == "\xFF\xFE") return TextEncoding::kUtf16Le;
    if (start.substr(0, 2) == "\xFE\xFF") return TextEncoding::kUtf16Be;
    return IsValidUtf8(start, true) ? TextEncoding::kUtf8 : TextEncoding::kWindows1252;
}

std::string_view ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::kUtf8Bom:
            return "\xEF\xBB\xBF";
        case TextEncoding::kUtf16Le:
            return "\xFF\xFE";
        case TextEncoding::kUtf16Be:
            return "\xFE\xFF";
        default:
            return "";
    }
}

void AppendWindows1252AsUtf8(std::string& out, std::string_view text) {
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b < 0x80 ? b : b < 0xA0 ? kHigh[b - 0x80] : char32_t{b});
    }
}

void AppendUtf8AsWindows1252(std::string& out, std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = SequenceLength(static_cast<unsigned char>(text[at]));
        char32_t c;
        if (n == 0 || at + n > text.size() || !DecodeSequence(text, at, n, c)) {
            out += text[at++];  // not UTF-8: a byte of the file itself, kept
            continue;
        }
        at += n;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char byte = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHigh[i] == c) byte = static_cast<char>(0x80 + i);
        }
        out += byte;
    }
}

Utf16Source::Utf16Source(ByteSource& inner, bool bigEndian, std::string_view alreadyRead)
    : inner_(inner), bigEndian_(bigEndian) {
    Decode(alreadyRead);
}

void Utf16Source::Decode(std::string_view bytes) {
    pendingBytes_.append(bytes);
    std::size_t at = 0;
    const auto unitAt = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(pendingBytes_[i]);
        const auto b = static_cast<unsigned char>(pendingBytes_[i + 1]);
        return static_cast<char16_t>(bigEndian_ ? (a << 8) | b : (b << 8) | a);
    };
    while (at + 2 <= pendingBytes_.size()) {
        const char16_t u = unitAt(at);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (at + 4 > pendingBytes_.size()) break;  // its pair is still to come
            const char16_t low = unitAt(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(decoded_, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (low - 0xDC00));
                at += 4;
                continue;
            }
            AppendUtf8(decoded_, 0xFFFD);
        } else {
            AppendUtf8(decoded_, u >= 0xDC00 && u <= 0xDFFF ? char32_t{0xFFFD} : char32_t{u});
        }
        at += 2;
    }
    pendingBytes_.erase(0, at);
}

long Utf16Source::Read(char* buffer, std::size_t size) {
    while (handedOut_ == decoded_.size()) {
        decoded_.clear();
        handedOut_ = 0;
        char raw[16384];
        const long count = inner_.Read(raw, sizeof raw);
        if (count <= 0) {
            if (count == 0 && !pendingBytes_.empty()) {  // an odd byte at the very end
                pendingBytes_.clear();
                AppendUtf8(decoded_, 0xFFFD);
                continue;
            }
            return count;
        }
        Decode({raw, static_cast<std::size_t>(count)});
    }
    const std::size_t count = std::min(size, decoded_.size() - handedOut_);
    decoded_.copy(buffer, count, handedOut_);
    handedOut_ += count;
    return static_cast<long>(count);
}

bool Utf16Sink::Write(const char* text, std::size_t size) {
    encoded_.clear();
    if (!markWritten_) {
        encoded_.append(ByteOrderMark(bigEndian_ ? TextEncoding::kUtf16Be : TextEncoding::kUtf16Le));
        markWritten_ = true;
    }
    pending_.append(text, size);
    const std::string_view utf8 = pending_;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t n = SequenceLength(static_cast<unsigned char>(utf8[at]));
        if (n > 1 && at + n > utf8.size()) break;  // the rest comes with the next write
        char32_t c = 0xFFFD;
        if (n == 1) {
            c = static_cast<unsigned char>(utf8[at]);
        } else if (n == 0 || !DecodeSequence(utf8, at, n, c)) {
            c = 0xFFFD;
        }
        AppendUtf16(encoded_, c, bigEndian_);
        at += n == 0 ? 1 : n;
    }
    pending_.erase(0, at);
    if (!inner_.Write(encoded_.data(), encoded_.size())) {
        errorNumber_ = inner_.errorNumber();
        return false;
    }
    return true;
}

}  // namespace vessane::cli
