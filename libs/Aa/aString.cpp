#include "aString.h"

#include "aAssert.h"
#include "aList.h"
#include "aRefList.h"
#include "aTrace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <strings.h>

char const* const aString::OutOfMemoryError = "aString_OutOfMemoryError";

namespace {

bool inSet(char const* set, char c)
{
    return set && c != '\0' && std::strchr(set, c) != nullptr;
}

bool matchesAt(char const* at, char const* pattern, int patternLen, bool ignoreCase)
{
    return ignoreCase ? strncasecmp(at, pattern, patternLen) == 0
                      : std::memcmp(at, pattern, patternLen) == 0;
}

} // namespace

// ---- construction -------------------------------------------------------------------------

aString::aString() : myMem(nullptr) {}

aString::aString(char const* text) : myMem(nullptr)
{
    if (!text)
        return;
    int len = TextLength(text);
    myMem = NewBuffer(len + 1);
    std::memcpy(myMem, text, len + 1);
}

aString::aString(char const* text, int count) : myMem(nullptr)
{
    if (!text)
        return;
    int len = static_cast<int>(strnlen(text, std::max(count, 0)));
    myMem = NewBuffer(len + 1);
    std::memcpy(myMem, text, len);
    myMem[len] = '\0';
}

aString::aString(aString const& other) : myMem(nullptr)
{
    SetString(other.myMem);
}

aString::aString(aString const* other) : myMem(nullptr)
{
    A_ASSERT(other);
    SetString(other->myMem);
}

aString::aString(int value) : myMem(nullptr) { Set(value); }
aString::aString(long value) : myMem(nullptr) { Set(value); }
aString::aString(float value) : myMem(nullptr) { Set(static_cast<double>(value)); }
aString::aString(double value) : myMem(nullptr) { Set(value); }

aString::~aString()
{
    delete[] myMem;
}

// ---- helpers ------------------------------------------------------------------------------

char* aString::NewBuffer(int size)
{
    return new char[size];
}

int aString::TextLength(char const* text)
{
    return text ? static_cast<int>(std::strlen(text)) : 0;
}

// Numbers are formatted into a 32-byte buffer; the rare longer text ("%f" of a value from about
// 1e25 on) is formatted again into one of its own size: never cut, never overrun.
std::string aString::NumberText(char const* format, va_list args)
{
    char buf[32];
    va_list first;
    va_copy(first, args);
    int n = std::vsnprintf(buf, sizeof buf, format, first);
    va_end(first);
    if (n < 0)
        return std::string();
    if (n < static_cast<int>(sizeof buf))
        return std::string(buf, static_cast<size_t>(n));
    std::string whole(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(whole.data(), whole.size(), format, args);
    whole.resize(static_cast<size_t>(n));
    return whole;
}

void aString::SetNumber(char const* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = NumberText(format, args);
    va_end(args);
    SetString(text.c_str());
}

void aString::AppendNumber(char const* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = NumberText(format, args);
    va_end(args);
    Append(text.c_str());
}

aString::FormatResult aString::FormatNew(char*& out, char const* format, va_list args)
{
    out = nullptr;
    int size = 100;
    char* buf = new (std::nothrow) char[size];
    if (!buf)
        return FormatResult::NoMemory;
    for (;;) {
        va_list attempt;
        va_copy(attempt, args);
        int n = std::vsnprintf(buf, size, format, attempt);
        va_end(attempt);
        if (n >= 0 && n < size) {
            out = buf;
            return FormatResult::Ok;
        }
        delete[] buf;
        if (n < 0) {
            // An error that does not depend on the size would double forever.
            if (size >= FormatRetryLimit)
                return FormatResult::Failed;
            size *= 2;
        } else {
            size = n + 1;
        }
        buf = new (std::nothrow) char[size];
        if (!buf)
            return FormatResult::NoMemory;
    }
}

int aString::Cut(char const* text, char const* delims, int max,
                 std::function<void(char const*)> const& take,
                 std::function<void(char const*)> const& takeRest)
{
    if (!text)
        return 0;
    std::string copy(text);
    char* cursor = copy.data();
    int count = 0;
    while (cursor) {
        char* token = strsep(&cursor, delims ? delims : "");
        if (!*token)
            continue;
        take(token);
        if (++count == max) {
            takeRest(cursor);
            break;
        }
    }
    return count;
}

int aString::Tokenize(char const* text, aRefList<aString>& list, char const* delims)
{
    auto take = [&list](char const* token) { list.Append(aRef<aString>(new aString(token))); };
    return Cut(text, delims, 0, take, take);
}

int aString::Tokenize(aRefList<aString>& list, char const* delims)
{
    return Tokenize(myMem, list, delims);
}

int aString::NewTokens(char const* text, aList<aString*>& list, char const* delims, int max)
{
    auto take = [&list](char const* token) { list.Append(new aString(token)); };
    return Cut(text, delims, max, take, take);
}

// ---- setting ------------------------------------------------------------------------------

void aString::SetString(char const* text)
{
    if (!text || !*text) {
        Clear();
        return;
    }
    int len = TextLength(text);
    char* buf;
    try {
        buf = NewBuffer(len + 1);
    } catch (...) {
        // As a plain char*: a handler for either char* or char const* catches it.
        throw const_cast<char*>(OutOfMemoryError);
    }
    std::memcpy(buf, text, len + 1); // before the old text goes: text may point into it
    delete[] myMem;
    myMem = buf;
}

void aString::SetStringExplicit(char* buffer)
{
    if (buffer == myMem)
        return;
    delete[] myMem;
    myMem = buffer;
}

void aString::Clear()
{
    delete[] myMem;
    myMem = nullptr;
}

void aString::Set(int value) { SetNumber("%i", value); }
void aString::Set(long value) { SetNumber("%li", value); }
void aString::Set(double value) { SetNumber("%f", value); }

void aString::Set(char const* format, ...)
{
    if (!format) {
        Clear();
        return;
    }
    char* buf = nullptr;
    va_list args;
    va_start(args, format);
    FormatResult r = FormatNew(buf, format, args);
    va_end(args);
    switch (r) {
    case FormatResult::Ok:
        SetString(buf);
        delete[] buf;
        break;
    case FormatResult::NoMemory:
        // Losing the old text would not give memory back to anyone: keep it.
    case FormatResult::Failed:
        A_TRACE_C("ired", "aString::Set: cannot format \"%s\"; text left unchanged\n", format);
        break;
    }
}

aString& aString::operator=(char const* text)
{
    SetString(text);
    return *this;
}

aString& aString::operator=(aString const& other)
{
    SetString(other.myMem);
    return *this;
}

aString& aString::operator=(aString const* other)
{
    A_ASSERT(other);
    SetString(other->myMem);
    return *this;
}

aString& aString::operator=(int value)
{
    Set(value);
    return *this;
}

aString& aString::operator=(double value)
{
    Set(value);
    return *this;
}

// ---- reading ------------------------------------------------------------------------------

int aString::Length() const
{
    return TextLength(myMem);
}

bool aString::IsValid() const
{
    return myMem && *myMem;
}

bool aString::IsEqual(char const* text) const
{
    if (text == myMem)
        return true;
    if (!text || !myMem)
        return false;
    return std::strcmp(text, myMem) == 0;
}

bool aString::operator==(char const* text) const { return IsEqual(text); }
bool aString::operator!=(char const* text) const { return !IsEqual(text); }
bool aString::operator==(aString const& other) const { return IsEqual(other.myMem); }
bool aString::operator!=(aString const& other) const { return !IsEqual(other.myMem); }

bool aString::operator==(aString const* other) const
{
    A_ASSERT(other);
    return IsEqual(other->myMem);
}

bool aString::operator!=(aString const* other) const
{
    A_ASSERT(other);
    return !IsEqual(other->myMem);
}

namespace {
// No text sorts before every text; texts compare by bytes.
int order(char const* a, char const* b)
{
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0);
    return std::strcmp(a, b);
}
} // namespace

bool aString::operator<(aString const& other) const { return order(myMem, other.myMem) < 0; }
bool aString::operator>(aString const& other) const { return order(myMem, other.myMem) > 0; }
bool aString::operator>=(aString const& other) const { return order(myMem, other.myMem) >= 0; }
bool aString::operator<=(aString const& other) const { return order(myMem, other.myMem) <= 0; }

int aString::Count(char c) const
{
    if (!myMem)
        return 0;
    return static_cast<int>(std::count(myMem, myMem + Length(), c));
}

int aString::ContainsChar(char c) const
{
    return Count(c);
}

int aString::Count(char const* pattern, bool ignoreCase) const
{
    int patLen = TextLength(pattern);
    int len = Length();
    if (patLen == 0 || len < patLen)
        return 0;
    int count = 0;
    for (int i = 0; i <= len - patLen;) {
        if (matchesAt(myMem + i, pattern, patLen, ignoreCase)) {
            ++count;
            i += patLen;
        } else {
            ++i;
        }
    }
    return count;
}

int aString::CountTrailingNumbers() const
{
    int len = Length();
    int n = 0;
    while (n < len && myMem[len - 1 - n] >= '0' && myMem[len - 1 - n] <= '9')
        ++n;
    return n;
}

int aString::GetTrailingNumbersAsInt() const
{
    int n = CountTrailingNumbers();
    if (n == 0)
        return -1;
    return std::atoi(myMem + Length() - n);
}

bool aString::GetSubstring(char const* startSet, char const* endSet, aString& target)
{
    if (!myMem)
        return false;
    int len = Length();
    int start = 0;
    if (startSet) {
        bool seen = false;
        start = -1;
        for (int i = 0; i < len; ++i) {
            bool member = inSet(startSet, myMem[i]);
            if (member) {
                seen = true;
            } else if (seen) {
                start = i;
                break;
            }
        }
        if (start < 0)
            return false;
    }
    int end = len;
    if (endSet) {
        for (int i = start; i < len; ++i) {
            if (inSet(endSet, myMem[i])) {
                end = i;
                break;
            }
        }
    }
    // Through a copy: the target may be this very object.
    std::string piece(myMem + start, end - start);
    target = piece.c_str();
    return true;
}

// ---- changing -----------------------------------------------------------------------------

void aString::Append(char const* text)
{
    int add = TextLength(text);
    if (add == 0)
        return;
    if (!myMem) {
        SetString(text);
        return;
    }
    int len = Length();
    char* buf = NewBuffer(len + add + 1);
    std::memcpy(buf, myMem, len);
    std::memcpy(buf + len, text, add + 1); // text may be our own: copied before freeing
    SetStringExplicit(buf);
}

void aString::Prepend(char const* text)
{
    int add = TextLength(text);
    if (add == 0)
        return;
    if (!myMem) {
        SetString(text);
        return;
    }
    int len = Length();
    char* buf = NewBuffer(len + add + 1);
    std::memcpy(buf, text, add);
    std::memcpy(buf + add, myMem, len + 1);
    SetStringExplicit(buf);
}

void aString::Append(int value) { AppendNumber("%i", value); }
void aString::Append(long value) { AppendNumber("%li", value); }
void aString::Append(float value) { AppendNumber("%f", static_cast<double>(value)); }
void aString::Append(double value) { AppendNumber("%f", value); }

aString& aString::operator+=(int value)
{
    Append(value);
    return *this;
}

aString& aString::operator+=(double value)
{
    Append(value);
    return *this;
}

aString& aString::operator+=(char const* text)
{
    Append(text);
    return *this;
}

aString& aString::operator+=(aString const& other)
{
    Append(other.myMem);
    return *this;
}

aString& aString::operator+=(aString const* other)
{
    A_ASSERT(other);
    Append(other->myMem);
    return *this;
}

void aString::Repeat(int count, char c)
{
    if (count < 0) {
        Clear();
        return;
    }
    char* buf = NewBuffer(count + 1);
    std::memset(buf, c, count);
    buf[count] = '\0';
    SetStringExplicit(buf);
}

void aString::Rjust(int width, char fill)
{
    Justify(width, fill, true);
}

void aString::Ljust(int width, char fill)
{
    Justify(width, fill, false);
}

void aString::Justify(int width, char fill, bool right)
{
    if (!myMem) {
        Repeat(width, fill);
        return;
    }
    int len = Length();
    if (width < 0) {
        Clear();
    } else if (width < len) {
        CropToLength(width);
    } else if (width > len) {
        char* buf = NewBuffer(width + 1);
        int const textAt = right ? width - len : 0;
        std::memset(buf + (right ? 0 : len), fill, width - len);
        std::memcpy(buf + textAt, myMem, len);
        buf[width] = '\0';
        SetStringExplicit(buf);
    }
}

bool aString::CropToLength(int n)
{
    // A negative length (more removed than there is) crops to nothing.
    n = std::max(n, 0);
    if (!myMem || Length() <= n)
        return false;
    char* buf = NewBuffer(n + 1);
    std::memcpy(buf, myMem, n);
    buf[n] = '\0';
    SetStringExplicit(buf);
    return true;
}

bool aString::LCropToLength(int n)
{
    n = std::max(n, 0);
    int len = Length();
    if (!myMem || len <= n)
        return false;
    char* buf = NewBuffer(n + 1);
    std::memcpy(buf, myMem + len - n, n + 1);
    SetStringExplicit(buf);
    return true;
}

void aString::Strip(char const* set, bool left, bool right)
{
    int len = Length();
    if (len == 0 || !set)
        return;
    int from = 0;
    int to = len; // one past the last kept character
    if (left)
        while (from < len && inSet(set, myMem[from]))
            ++from;
    if (right)
        while (to > from && inSet(set, myMem[to - 1]))
            --to;
    if (from == 0 && to == len)
        return;
    int n = to - from;
    char* buf = NewBuffer(n + 1);
    std::memcpy(buf, myMem + from, n);
    buf[n] = '\0';
    SetStringExplicit(buf);
}

int aString::Replace(char const* pattern, char const* replacement, bool ignoreCase)
{
    int patLen = TextLength(pattern);
    int len = Length();
    if (patLen == 0 || len < patLen)
        return 0;
    int count = Count(pattern, ignoreCase);
    if (count == 0)
        return 0;
    int repLen = TextLength(replacement);
    char* buf = NewBuffer(len + count * (repLen - patLen) + 1);
    char* out = buf;
    int i = 0;
    while (i <= len - patLen) {
        if (matchesAt(myMem + i, pattern, patLen, ignoreCase)) {
            if (repLen)
                std::memcpy(out, replacement, repLen);
            out += repLen;
            i += patLen;
        } else {
            *out++ = myMem[i++];
        }
    }
    std::memcpy(out, myMem + i, len - i + 1);
    SetStringExplicit(buf);
    return count;
}

int aString::ReplaceChar(char from, char to)
{
    if (!myMem)
        return 0;
    int count = 0;
    for (char* p = myMem; *p; ++p) {
        if (*p == from) {
            *p = to;
            ++count;
        }
    }
    return count;
}

int aString::ReplaceChar(char from, char const* to)
{
    int count = Count(from);
    if (count == 0)
        return 0;
    int len = Length();
    int repLen = TextLength(to);
    char* buf = NewBuffer(len - count + count * repLen + 1);
    char* out = buf;
    for (int i = 0; i < len; ++i) {
        if (myMem[i] == from) {
            if (repLen)
                std::memcpy(out, to, repLen);
            out += repLen;
        } else {
            *out++ = myMem[i];
        }
    }
    *out = '\0';
    SetStringExplicit(buf);
    return count;
}

int aString::MakeLowerCase()
{
    int count = 0;
    for (char* p = myMem; p && *p; ++p) {
        if (*p >= 'A' && *p <= 'Z') {
            *p = static_cast<char>(*p - 'A' + 'a');
            ++count;
        }
    }
    return count;
}

int aString::MakeUpperCase()
{
    int count = 0;
    for (char* p = myMem; p && *p; ++p) {
        if (*p >= 'a' && *p <= 'z') {
            *p = static_cast<char>(*p - 'a' + 'A');
            ++count;
        }
    }
    return count;
}

void aString::Reverse()
{
    if (myMem)
        std::reverse(myMem, myMem + Length());
}

void aString::Shellify()
{
    static char const* const special[] = {"[", "]", ">", "<", "(", ")", "{", "}",
                                          "*", " ", "&", "?", "`", "'", ";"};
    for (char const* c : special) {
        char escaped[3] = {'\\', c[0], '\0'};
        Replace(c, escaped, false);
    }
}

// ---- printable ----------------------------------------------------------------------------

void aString::AppendPrintable(char const* source, aString& target, char const* tab,
                              char const* newline, char const* prefix, char const* suffix,
                              bool escape)
{
    if (!source)
        return;
    std::string out;
    for (char const* p = source; *p; ++p) {
        signed char c = static_cast<signed char>(*p);
        if (c == '\t' && tab) {
            out += tab;
        } else if (c == '\n' && newline) {
            out += newline;
        } else if (escape && (c < 32 || c > 126)) {
            if (prefix)
                out += prefix;
            out += std::to_string(static_cast<int>(c));
            if (suffix)
                out += suffix;
        } else {
            out += *p;
        }
    }
    target += out.c_str(); // through the target's own append
}

void aString::AppendPrintable(char const* source, char const* tab, char const* newline,
                              char const* prefix, char const* suffix, bool escape)
{
    AppendPrintable(source, *this, tab, newline, prefix, suffix, escape);
}

void aString::SetPrintable(char const* source, char const* tab, char const* newline,
                           char const* prefix, char const* suffix, bool escape)
{
    // The source may be our own text: keep it while the text is cleared.
    std::string keep = source ? source : "";
    Clear();
    AppendPrintable(source ? keep.c_str() : nullptr, tab, newline, prefix, suffix, escape);
}
