#pragma once

#include "aString.h"
#include "ref.h"

#include <string>
#include <vector>

namespace rtl {

// The everyday string: a handle on a heap aString. Copies share one buffer, so copying is a
// pointer splice and an in-place change (+=, +, append, replace, strip, ...) is seen through
// every copy. Assignment from a character pointer, a std::string or a number, and set(), give
// this handle a fresh buffer and leave the other copies holding the old one.
//
// Four states: an empty handle (no aString), an aString with no text, one with an empty text,
// and one with text. "Without text" below means the first two. c() hands out one static empty
// text for an empty handle but null for an aString with no text; cs() never gives null and is
// the accessor to hand text to C interfaces (libxml2, strcmp, QString).
//
// The + operators append in place and return this handle: a + b changes a and its copies.
// Bytes only; the program keeps UTF-8 in them. Text that comes from data must never be passed
// to set() as the format: use set("%s", text).
class str : public ref<aString>
{
public:
    str() = default;
    str(char const* text);
    str(char const* text, int count);
    explicit str(aString* adopt);
    str(str const& other) : ref<aString>(other) {}
    ~str() override {}

    using ref<aString>::set;
    void set(aString* p) override;
    // True when the text is present and not empty.
    operator bool() const override;

    virtual bool set(str const& other);
    virtual void set(int value);
    virtual void set(float value);
    virtual void set(double value);
    // "%i" of the value, zero-padded on the left to the width.
    virtual str& pad(int value, int width);
    virtual str& operator=(int value);
    virtual str& operator=(float value);
    virtual str& operator=(double value);
    // One character: 0..size-1 from the front, -1..-size from the back; anything else gives a
    // dummy NUL (reset on every call).
    virtual char const& getChar(int const& i) const;
    virtual char& getChar(int const& i);
    virtual char const& firstChar() const;
    virtual char const& operator[](int i) const;
    virtual char& firstChar();
    virtual char& operator[](int i);
    // printf-style into a fresh buffer; a null format clears the shared text instead.
    virtual void set(char const* format, ...) __attribute__((format(printf, 2, 3)));
    virtual str subStr(int start, int length) const;
    virtual str& operator=(char const* text);
    virtual str& operator=(std::string const& text);
    virtual str& operator=(str const& other);
    virtual str& operator=(str& other);
    virtual str& operator+(char const* text);
    virtual str& operator+(int value);
    virtual str& operator+(float value);
    virtual str& operator+(std::string const& text);
    // Appends the other's text, or (on an empty handle) shares it. The two must not share.
    virtual str& operator+(str s);
    virtual str& operator+=(char const* text);
    virtual str& operator+=(int value);
    virtual str& operator+=(long value);
    virtual str& operator+=(float value);
    virtual str& operator+=(std::string const& text);
    // Appends the other's text; a handle that shares it doubles its text.
    virtual str& operator+=(str other);
    // Without text equals only null; with text (even empty) equals the same characters.
    virtual bool operator==(char const* text) const;
    virtual bool operator==(std::string const& text) const;
    virtual bool operator!=(char const* text) const;
    virtual bool operator!=(std::string const& text) const;
    virtual char const* asChar() const;
    virtual char* asChar();
    virtual char const* c() const;
    virtual char const* c_str() const;
    virtual operator char const*() const;
    virtual operator std::string() const;
    // The key order of every set and map: strings without text first, then texts by bytes.
    virtual bool operator<(str const& other) const;
    virtual bool operator<=(str const& other) const;
    virtual bool operator>=(str const& other) const;
    virtual bool operator>(str const& other) const;
    // Appends the fields between the delimiters to out; max > 0 ends with the unsplit rest.
    virtual void split(char const* delims, std::vector<str>& out, int max, bool keepEmpty) const;
    // Appends the non-empty tokens between the delimiters; max -1 for no limit.
    virtual void tokenize(char const* delims, std::vector<str>& out, int max) const;
    virtual void strip(char const* set, bool left, bool right);
    virtual str& stripsuf(char c);
    virtual void stripTrailingNumbers();
    virtual int size() const;
    virtual int countTrailingNumbers() const;
    virtual int getTrailingNumbersAsInt() const;
    virtual int replace(char from, char to) const;
    virtual int replace(char const* pattern, char const* replacement, bool ignoreCase);
    virtual int count(char const* pattern, bool ignoreCase) const;
    virtual int countChar(char c, bool ignoreCase) const;
    virtual void shellify();
    virtual str& append(char const* text);
    virtual str& prepend(char const* text);
    virtual str tail(char c) const;
    virtual str head(char c) const;
    // Tabs as "[t]", newlines as "[n]", other invisibles as "[ascii(<signed value>)]".
    virtual str invisibles() const;
    virtual str ljust(int width, char fill) const;
    virtual void ljustMe(int width, char fill);
    virtual str rjust(int width, char fill) const;
    virtual void rjustMe(int width, char fill);
    virtual void repeat(int count, char c);
    virtual str repeated(int count, char c) const;
    virtual void space(int count);
    virtual bool crop(int n);
    virtual bool shorten(int n);
    virtual bool lshorten(int n);
    virtual str cropped(int n) const;
    virtual bool lcrop(int n);
    virtual void reverse();
    // "take12b" gives "take", "12", "b": the rightmost run of digits and what surrounds it.
    virtual void seperateRightmostNumberField(str& prefix, str& number, str& suffix) const;
    virtual str lcropped(int n) const;
    virtual void print(bool newline, int max);
    virtual bool endswith(char const* suffix) const;
    virtual bool startswith(char const* prefix) const;
    // 1 for digits only, -1 for digits with one '.', 0 otherwise (and without text).
    virtual int numericType() const;
    virtual bool isFloat() const;
    virtual bool isInt() const;

    // Equality in the key order: both without text, or the same characters.
    bool operator==(str const& other) const;
    bool operator!=(str const& other) const;

    // Never null: the text, or "" without text.
    char const* cs() const;

    static str head(char const* text, char c);
    static str tail(char const* text, char c);

private:
    static char ourEmptyText[1];

    // The text, or null without text (also for an empty handle).
    char const* text() const;
    // Hands this handle a fresh aString made by the caller.
    void fresh(aString* a);
    // Applies a change to the shared text; an empty handle first gets a fresh aString, kept
    // only when the change leaves text in it.
    template <class Change>
    void inPlace(Change change);
};

} // namespace rtl
