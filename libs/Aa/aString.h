#pragma once

#include <cstdarg>
#include <functional>
#include <string>

namespace rtl {
class str;
}
template <class T> class aList;
template <class T> class aRefList;

// An owned, NUL-terminated byte buffer. Bytes only: no encoding is assumed (the program keeps
// UTF-8 in it) and character classes are ASCII.
//
// Two states without characters are told apart: *no text* (myMem is null) and *empty text*
// (an allocated buffer holding only the terminator). Most readers treat both as length 0;
// equality and asBool() do not.
//
// Buffers carry no spare capacity: every change of length allocates a buffer of the exact new
// size, fills it and frees the old one. Copying an aString copies the text; sharing is
// rtl::str's business.
class aString
{
public:
    // A text that cannot be allocated is reported by throwing this very pointer (as a char*).
    static char const* const OutOfMemoryError;

    aString();
    aString(char const* text);
    aString(char const* text, int count);
    aString(aString const& other);
    explicit aString(aString const* other);
    explicit aString(int value);
    explicit aString(long value);
    explicit aString(float value);
    explicit aString(double value);

    virtual ~aString();
    virtual aString& operator+=(int value);
    virtual aString& operator+=(double value);
    virtual aString& operator+=(char const* text);
    virtual aString& operator+=(aString const& other);
    virtual aString& operator+=(aString const* other);
    virtual aString& operator=(int value);
    virtual aString& operator=(double value);
    virtual aString& operator=(char const* text);
    virtual aString& operator=(aString const* other);
    virtual aString& operator=(aString const& other);
    virtual bool operator==(char const* text) const;
    virtual bool operator!=(char const* text) const;
    virtual bool operator==(aString const& other) const;
    virtual bool operator!=(aString const& other) const;
    virtual bool operator==(aString const* other) const;
    virtual bool operator!=(aString const* other) const;
    // A true order: no text first, then texts in byte order.
    virtual bool operator<(aString const& other) const;
    virtual bool operator>(aString const& other) const;
    virtual bool operator>=(aString const& other) const;
    virtual bool operator<=(aString const& other) const;
    virtual bool IsEqual(char const* text) const;
    virtual bool IsValid() const;
    virtual void SetPrintable(char const* source, char const* tab, char const* newline,
                              char const* prefix, char const* suffix, bool escape);
    virtual void AppendPrintable(char const* source, char const* tab, char const* newline,
                                 char const* prefix, char const* suffix, bool escape);
    // Appends the tokens of the own text (see the static form); returns their number.
    virtual int Tokenize(aRefList<aString>& list, char const* delims);
    virtual int ReplaceChar(char from, char to);
    virtual int ReplaceChar(char from, char const* to);
    virtual int Replace(char const* pattern, char const* replacement, bool ignoreCase);
    virtual int Count(char const* pattern, bool ignoreCase) const;
    virtual int Count(char c) const;
    virtual int MakeLowerCase();
    virtual int MakeUpperCase();
    virtual void Reverse();
    virtual void Shellify();

    // Replaces the text with a copy; null and "" both leave no text. The argument may point
    // into the current text.
    void SetString(char const* text);
    // Adopts an array-new buffer as the text.
    void SetStringExplicit(char* buffer);
    void Clear();

    void Set(int value);
    void Set(long value);
    void Set(double value);
    // printf-style. An empty result leaves no text; a null format too. When the text cannot be
    // formatted (no memory, or a formatter error at every size) it stays unchanged.
    void Set(char const* format, ...) __attribute__((format(printf, 2, 3)));

    char* asChar() { return myMem; }
    char const* asChar() const { return myMem; }
    char const* AsChar() const { return myMem; }
    char const* c() const { return myMem; }
    operator char*() { return myMem; }
    operator char const*() const { return myMem; }

    int Length() const;
    bool asBool() const { return myMem != nullptr; }
    int ContainsChar(char c) const;
    int CountTrailingNumbers() const;
    int GetTrailingNumbersAsInt() const;
    bool GetSubstring(char const* startSet, char const* endSet, aString& target);

    void Append(char const* text);
    void Append(int value);
    void Append(long value);
    void Append(float value);
    void Append(double value);
    void Prepend(char const* text);
    void Repeat(int count, char c);
    void Rjust(int width, char fill);
    void Ljust(int width, char fill);
    bool CropToLength(int n);
    bool LCropToLength(int n);
    void Strip(char const* set, bool left, bool right);

    static void AppendPrintable(char const* source, aString& target, char const* tab,
                                char const* newline, char const* prefix, char const* suffix,
                                bool escape);
    // Appends each token between delimiters (empty ones dropped) as a new aString; returns
    // their number, 0 for a null text.
    static int Tokenize(char const* text, aRefList<aString>& list, char const* delims);
    // Appends the tokens as raw aStrings that the list's owner takes over. With max >= 1 it
    // stops after max tokens and appends one more element, not counted: the rest of the text
    // behind the delimiter that ended the last token (no text when that token ended the text).
    static int NewTokens(char const* text, aList<aString*>& list, char const* delims, int max);

protected:
    char* myMem;

private:
    friend class rtl::str;

    enum class FormatResult { Ok, NoMemory, Failed };
    // Formats into a fresh array-new buffer (left in out). A formatter that keeps reporting an
    // error is given up once the buffer would exceed FormatRetryLimit.
    static constexpr int FormatRetryLimit = 64 * 1024;
    static FormatResult FormatNew(char*& out, char const* format, va_list args);

    // Cuts a private copy of text at every character of delims, dropping empty tokens, and hands
    // each token to take. With max >= 1 it stops after max tokens and hands on the rest behind
    // the delimiter that ended the last one (null when that token ended the text). Returns the
    // number of tokens, the rest not counted.
    static int Cut(char const* text, char const* delims, int max,
                   std::function<void(char const* token)> const& take,
                   std::function<void(char const* rest)> const& takeRest);

    static char* NewBuffer(int size);
    static int TextLength(char const* text);
    // Rjust and Ljust: the fill goes before the text (right) or after it.
    void Justify(int width, char fill, bool right);
    static std::string NumberText(char const* format, va_list args);
    void AppendNumber(char const* format, ...) __attribute__((format(printf, 2, 3)));
    void SetNumber(char const* format, ...) __attribute__((format(printf, 2, 3)));
};
