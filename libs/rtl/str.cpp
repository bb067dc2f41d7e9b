#include "str.h"

#include "NoStringMemory.h"
#include "aAssert.h"
#include "aTrace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace rtl {

char str::ourEmptyText[1] = {'\0'};

namespace {

// Strings without text sort first; texts by bytes.
int order(char const* a, char const* b)
{
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0);
    return std::strcmp(a, b);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

// ---- construction and state ---------------------------------------------------------------

str::str(char const* text)
    : ref<aString>(new aString(text))
{
}

str::str(char const* text, int count)
    : ref<aString>(new aString(text, count))
{
}

str::str(aString* adopt)
    : ref<aString>(adopt)
{
}

void str::set(aString* p)
{
    ref<aString>::set(p);
}

void str::fresh(aString* a)
{
    std::unique_ptr<aString> owned(a);
    set(owned.get());
    owned.release();
}

template <class Change>
void str::inPlace(Change change)
{
    if (aString* mine = get()) {
        change(*mine);
        return;
    }
    auto made = std::make_unique<aString>();
    change(*made);
    if (made->c())
        fresh(made.release());
}

char const* str::text() const
{
    aString* a = get();
    return a ? a->c() : nullptr;
}

str::operator bool() const
{
    char const* t = text();
    return t && *t;
}

// ---- setting ------------------------------------------------------------------------------

bool str::set(str const& other)
{
    if (other.myCnt != myCnt)
        setMgr(other.myCnt);
    return true;
}

void str::set(int value) { fresh(new aString(value)); }
void str::set(float value) { fresh(new aString(static_cast<double>(value))); }
void str::set(double value) { fresh(new aString(value)); }

void str::set(char const* format, ...)
{
    if (!format) {
        if (aString* mine = get())
            mine->Clear();
        return;
    }
    char* buf = nullptr;
    va_list args;
    va_start(args, format);
    aString::FormatResult r = aString::FormatNew(buf, format, args);
    va_end(args);
    std::unique_ptr<char[]> owned(buf);
    switch (r) {
    case aString::FormatResult::Ok:
        fresh(new aString(buf));
        break;
    case aString::FormatResult::NoMemory:
        throw NoStringMemory("str(...)");
    case aString::FormatResult::Failed:
        A_TRACE_C("ired", "str::set: cannot format \"%s\"; text left unchanged\n", format);
        break;
    }
}

str& str::pad(int value, int width)
{
    set(value);
    if (width > size())
        rjustMe(width, '0');
    return *this;
}

str& str::operator=(int value)
{
    set(value);
    return *this;
}

str& str::operator=(float value)
{
    set(value);
    return *this;
}

str& str::operator=(double value)
{
    set(value);
    return *this;
}

str& str::operator=(char const* text)
{
    fresh(new aString(text)); // copied before the old text is left: text may point into it
    return *this;
}

str& str::operator=(std::string const& text)
{
    fresh(new aString(text.c_str()));
    return *this;
}

str& str::operator=(str const& other)
{
    if (&other != this)
        set(other);
    return *this;
}

str& str::operator=(str& other)
{
    if (&other != this)
        set(static_cast<str const&>(other));
    return *this;
}

// ---- appending ----------------------------------------------------------------------------

str& str::operator+=(char const* text)
{
    if (text && *text)
        inPlace([text](aString& a) { a.Append(text); });
    return *this;
}

str& str::operator+=(int value)
{
    inPlace([value](aString& a) { a.Append(value); });
    return *this;
}

str& str::operator+=(long value)
{
    inPlace([value](aString& a) { a.Append(value); });
    return *this;
}

str& str::operator+=(float value)
{
    inPlace([value](aString& a) { a.Append(value); });
    return *this;
}

str& str::operator+=(std::string const& text)
{
    return *this += text.c_str();
}

str& str::operator+=(str other)
{
    aString* theirs = other.get();
    if (!theirs)
        return *this;
    if (theirs == get())
        theirs->Append(theirs->c()); // shared: the text doubles
    else
        *this += theirs->c();
    return *this;
}

str& str::operator+(char const* text) { return *this += text; }
str& str::operator+(int value) { return *this += value; }
str& str::operator+(float value) { return *this += value; }
str& str::operator+(std::string const& text) { return *this += text.c_str(); }

str& str::operator+(str s)
{
    A_ASSERT((get()!=s.get()) || (!get()));
    if (aString* mine = get()) {
        if (aString* theirs = s.get())
            mine->Append(theirs->c());
    } else {
        set(s);
    }
    return *this;
}

str& str::append(char const* text) { return *this += text; }

str& str::prepend(char const* text)
{
    if (text && *text)
        inPlace([text](aString& a) { a.Prepend(text); });
    return *this;
}

// ---- reading ------------------------------------------------------------------------------

char const* str::c() const
{
    aString* a = get();
    return a ? a->c() : ourEmptyText;
}

char const* str::c_str() const { return c(); }
char const* str::asChar() const { return c(); }
str::operator char const*() const { return c(); }

char* str::asChar()
{
    aString* a = get();
    return a ? a->asChar() : ourEmptyText;
}

char const* str::cs() const
{
    char const* t = text();
    return t ? t : "";
}

str::operator std::string() const
{
    return std::string(cs());
}

int str::size() const
{
    aString* a = get();
    return a ? a->Length() : 0;
}

char const& str::getChar(int const& i) const
{
    static char dummy;
    dummy = '\0';
    char const* t = c();
    if (!t)
        return dummy;
    int len = static_cast<int>(std::strlen(t));
    if (i >= 0 && i < len)
        return t[i];
    if (i < 0 && i >= -len)
        return t[len + i];
    return dummy;
}

char& str::getChar(int const& i)
{
    static char dummy;
    dummy = '\0';
    char* t = asChar();
    if (!t)
        return dummy;
    int len = static_cast<int>(std::strlen(t));
    if (i >= 0 && i < len)
        return t[i];
    if (i < 0 && i >= -len)
        return t[len + i];
    return dummy;
}

char const& str::firstChar() const { return getChar(0); }
char& str::firstChar() { return getChar(0); }
char const& str::operator[](int i) const { return getChar(i); }
char& str::operator[](int i) { return getChar(i); }

bool str::startswith(char const* prefix) const
{
    char const* t = text();
    if (!prefix || !*prefix || !t)
        return false;
    return std::strncmp(t, prefix, std::strlen(prefix)) == 0;
}

bool str::endswith(char const* suffix) const
{
    char const* t = text();
    if (!suffix || !*suffix || !t)
        return false;
    size_t len = std::strlen(t);
    size_t n = std::strlen(suffix);
    return len >= n && std::memcmp(t + len - n, suffix, n) == 0;
}

int str::count(char const* pattern, bool ignoreCase) const
{
    aString* a = get();
    return a ? a->Count(pattern, ignoreCase) : 0;
}

int str::countChar(char c, bool) const
{
    aString* a = get();
    return a ? a->Count(c) : 0;
}

int str::countTrailingNumbers() const
{
    aString* a = get();
    return a ? a->CountTrailingNumbers() : 0;
}

int str::getTrailingNumbersAsInt() const
{
    aString* a = get();
    return a ? a->GetTrailingNumbersAsInt() : -1;
}

int str::numericType() const
{
    char const* t = text();
    if (!t || !*t)
        return 0;
    bool dot = false;
    for (; *t; ++t) {
        if (*t == '.') {
            if (dot)
                return 0;
            dot = true;
        } else if (!isDigit(*t)) {
            return 0;
        }
    }
    return dot ? -1 : 1;
}

bool str::isInt() const { return numericType() == 1; }
bool str::isFloat() const { return numericType() == -1; }

// ---- comparing ----------------------------------------------------------------------------

bool str::operator==(char const* other) const
{
    char const* t = text();
    if (!t || !other)
        return !t && !other;
    return std::strcmp(t, other) == 0;
}

bool str::operator!=(char const* other) const { return !(*this == other); }

bool str::operator==(std::string const& other) const
{
    return get() && *this == other.c_str();
}

bool str::operator!=(std::string const& other) const { return !(*this == other); }

bool str::operator==(str const& other) const { return order(text(), other.text()) == 0; }
bool str::operator!=(str const& other) const { return order(text(), other.text()) != 0; }
bool str::operator<(str const& other) const { return order(text(), other.text()) < 0; }
bool str::operator>(str const& other) const { return order(text(), other.text()) > 0; }
bool str::operator>=(str const& other) const { return order(text(), other.text()) >= 0; }

bool str::operator<=(str const& other) const
{
    if (Aa::detailedTraces())
        std::printf("LessEqual!\n");
    return order(text(), other.text()) <= 0;
}

// ---- changing in place --------------------------------------------------------------------

void str::strip(char const* set, bool left, bool right)
{
    if (aString* a = get())
        a->Strip(set, left, right);
}

void str::stripTrailingNumbers()
{
    strip("0123456789", false, true);
}

str& str::stripsuf(char c)
{
    char const* t = text();
    char const* at = t ? std::strrchr(t, c) : nullptr;
    if (at)
        fresh(new aString(t, static_cast<int>(at - t)));
    return *this;
}

int str::replace(char from, char to) const
{
    aString* a = get();
    return a ? a->ReplaceChar(from, to) : 0;
}

int str::replace(char const* pattern, char const* replacement, bool ignoreCase)
{
    aString* a = get();
    return a ? a->Replace(pattern, replacement, ignoreCase) : 0;
}

void str::shellify()
{
    if (aString* a = get())
        a->Shellify();
}

void str::reverse()
{
    if (aString* a = get())
        a->Reverse();
}

void str::repeat(int count, char c)
{
    inPlace([count, c](aString& a) { a.Repeat(count, c); });
}

void str::space(int count)
{
    repeat(count, ' ');
}

void str::ljustMe(int width, char fill)
{
    inPlace([width, fill](aString& a) { a.Ljust(width, fill); });
}

void str::rjustMe(int width, char fill)
{
    inPlace([width, fill](aString& a) { a.Rjust(width, fill); });
}

bool str::crop(int n)
{
    aString* a = get();
    return a && a->CropToLength(n);
}

bool str::lcrop(int n)
{
    aString* a = get();
    return a && a->LCropToLength(n);
}

bool str::shorten(int n)
{
    aString* a = get();
    return a && a->CropToLength(a->Length() - n);
}

bool str::lshorten(int n)
{
    aString* a = get();
    return a && a->LCropToLength(a->Length() - n);
}

// ---- new values ---------------------------------------------------------------------------

str str::subStr(int start, int length) const
{
    char const* t = cs();
    int len = static_cast<int>(std::strlen(t));
    if (start < 0 || start > len || length < 0)
        return str("");
    return str(t + start, std::min(length, len - start));
}

str str::head(char const* text, char c)
{
    char const* at = text ? std::strrchr(text, c) : nullptr;
    if (!at || at == text)
        return str();
    return str(text, static_cast<int>(at - text));
}

str str::tail(char const* text, char c)
{
    if (!text)
        return str();
    char const* at = std::strrchr(text, c);
    return str(at ? at + 1 : text);
}

str str::head(char c) const
{
    char const* t = text();
    return t ? head(t, c) : str();
}

str str::tail(char c) const
{
    char const* t = text();
    return t ? tail(t, c) : str();
}

str str::invisibles() const
{
    char const* t = text();
    if (!t)
        return str();
    auto a = std::make_unique<aString>();
    a->AppendPrintable(t, "[t]", "[n]", "[ascii(", ")]", true);
    return str(a.release());
}

namespace {

// A new string: a copy of a's text changed by change. Without a text the copy is an empty
// buffer, unless keepNone says that no text stays no text.
template <class Change> str changedCopy(aString* a, bool keepNone, Change change)
{
    if (keepNone && (!a || !a->c()))
        return str();
    auto copy = a ? std::make_unique<aString>(*a) : std::make_unique<aString>();
    change(*copy);
    return str(copy.release());
}

} // namespace

str str::ljust(int width, char fill) const
{
    return changedCopy(get(), false, [&](aString& a) { a.Ljust(width, fill); });
}

str str::rjust(int width, char fill) const
{
    return changedCopy(get(), false, [&](aString& a) { a.Rjust(width, fill); });
}

str str::repeated(int count, char c) const
{
    auto a = std::make_unique<aString>();
    a->Repeat(count, c);
    return str(a.release());
}

str str::cropped(int n) const
{
    return changedCopy(get(), true, [&](aString& a) { a.CropToLength(n); });
}

str str::lcropped(int n) const
{
    return changedCopy(get(), true, [&](aString& a) { a.LCropToLength(n); });
}

// ---- splitting ----------------------------------------------------------------------------

void str::split(char const* delims, std::vector<str>& out, int max, bool keepEmpty) const
{
    char const* t = text();
    if (!t)
        return;
    if (!delims || max == 0) {
        out.push_back(str(t));
        return;
    }
    bool isDelim[256] = {};
    for (char const* d = delims; *d; ++d)
        isDelim[static_cast<unsigned char>(*d)] = true;
    int len = static_cast<int>(std::strlen(t));
    if (len == 0) {
        if (keepEmpty)
            out.push_back(str(""));
        return;
    }
    int start = 0;
    int appended = 0;
    for (int i = 0; i < len; ++i) {
        if (!isDelim[static_cast<unsigned char>(t[i])])
            continue;
        if (max > 0 && appended >= max) {
            out.push_back(str(t + start));
            return;
        }
        if (i > start || keepEmpty) {
            out.push_back(str(t + start, i - start));
            ++appended;
        }
        start = i + 1;
    }
    // A text that ends in a delimiter ends in an empty field.
    out.push_back(str(t + start));
}

void str::tokenize(char const* delims, std::vector<str>& out, int max) const
{
    auto keep = [&out](char const* field) {
        if (field && *field)
            out.push_back(str(field));
    };
    aString::Cut(text(), delims, max, keep, keep);
}

// ---- output -------------------------------------------------------------------------------

void str::print(bool newline, int max)
{
    if (max == 0)
        return;
    char const* t = text();
    if (t) {
        size_t n = std::strlen(t);
        if (max > 0 && n > static_cast<size_t>(max))
            n = static_cast<size_t>(max);
        std::fwrite(t, 1, n, stdout);
    }
    if (newline)
        std::fputc('\n', stdout);
}

void str::seperateRightmostNumberField(str& prefix, str& number, str& suffix) const
{
    // A copy of the characters first: any of the three may be this very handle.
    std::string t = cs();
    prefix = "";
    number = "";
    suffix = "";
    std::string p, n, s;
    bool begun = false;
    bool ended = false;
    for (int i = static_cast<int>(t.size()) - 1; i >= 0; --i) {
        char c = t[i];
        char one[2] = {c, '\0'};
        A_TRACE_DETAIL("Char[%i] %s, begun=%s, ended=%s, isdigit=%s\n", i, one, begun ? "T" : "f",
                       ended ? "T" : "f", isDigit(c) ? "T" : "f");
        if (isDigit(c)) {
            if (!begun) {
                A_TRACE_DETAIL("Begun = TRUE\n");
                begun = true;
            }
            (ended ? p : n) += c;
        } else {
            if (!begun)
                s += c;
            else
                ended = true;
            if (ended)
                p += c;
        }
    }
    std::reverse(p.begin(), p.end());
    std::reverse(n.begin(), n.end());
    std::reverse(s.begin(), s.end());
    prefix = p.c_str();
    number = n.c_str();
    suffix = s.c_str();
}

} // namespace rtl
