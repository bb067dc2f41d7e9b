#include "Aa.h"

#include "aAssert.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <syslog.h>

FILE* Aa::ourLogFileP = nullptr;
bool Aa::ourSyslogFlag = false;
char const* Aa::ourSyslogName = nullptr;
int Aa::ourLabelWidth = 0;
char* Aa::ourLabelPad = nullptr;
char Aa::ourMsgBuf[Aa::MsgBufSize];

bool Aa::detailedTraces()
{
    static bool const wanted = [] {
        char const* value = std::getenv("VANTREL_TRACE");
        return value && std::strcmp(value, "1") == 0;
    }();
    return wanted;
}

namespace {

char const* const Reset = "\033[0m";

struct ColourPair
{
    char const* name;
    char const* fg;
    char const* bg;
};

constexpr ColourPair Colours[] = {
    {"red", "\033[31m", "\033[40m"},     {"ired", "\033[30m", "\033[41m"},
    {"green", "\033[32m", "\033[40m"},   {"igreen", "\033[30m", "\033[42m"},
    {"blue", "\033[34m", "\033[40m"},    {"iblue", "\033[37m", "\033[44m"},
    {"cyan", "\033[36m", "\033[40m"},    {"icyan", "\033[30m", "\033[46m"},
    {"magenta", "\033[35m", "\033[40m"}, {"imagenta", "\033[30m", "\033[45m"},
    {"yellow", "\033[33m", "\033[40m"},  {"iyellow", "\033[30m", "\033[43m"},
    {"white", "\033[37m", "\033[40m"},   {"iwhite", "\033[30m", "\033[47m"},
};
constexpr ColourPair Fallback = {"", "\033[30m", "\033[47m"};

ColourPair const& colourFor(char const* name)
{
    for (auto const& c : Colours)
        if (std::strcmp(c.name, name) == 0)
            return c;
    return Fallback;
}

int digitCount(int line)
{
    int digits = 1;
    for (int limit = 9; digits < 7 && line > limit; limit = limit * 10 + 9)
        ++digits;
    return digits;
}

// Writes one text to the three sinks; syslog gets it as one record.
void toSinks(int priority, char const* text)
{
    std::fputs(text, stdout);
    if (Aa::ourLogFileP)
        std::fputs(text, Aa::ourLogFileP);
    if (Aa::ourSyslogFlag)
        syslog(priority, "%s", text);
}

} // namespace

char const* Aa::foregroundCode(char const* colourName)
{
    return colourFor(colourName ? colourName : "").fg;
}

char const* Aa::backgroundCode(char const* colourName)
{
    return colourFor(colourName ? colourName : "").bg;
}

void Aa::logstart(char const* prefix, char const* file, int line, char const* colourName)
{
    if (file) {
        std::printf("%s%s", "\033[37m", "\033[40m");
        loglabel(file, line);
        std::fputs(Reset, stdout);
    }
    if (colourName)
        printColorCodeForName(colourName);
    if (prefix) {
        std::fputs(prefix, stdout);
        if (ourLogFileP)
            std::fputs(prefix, ourLogFileP);
        if (ourSyslogFlag)
            syslog(LOG_NOTICE, "%s", prefix);
    }
}

void Aa::emitMessage(int priority, char const* format, va_list args)
{
    // A formatter error leaves the buffer undefined: print nothing rather than an older message.
    if (std::vsnprintf(ourMsgBuf, MsgBufSize, format, args) < 0)
        ourMsgBuf[0] = '\0';
    size_t len = std::strlen(ourMsgBuf);
    if (len > 0 && ourMsgBuf[len - 1] == '\n') {
        ourMsgBuf[len - 1] = '\0';
        std::printf("%s%s", ourMsgBuf, Reset);
        std::fputc('\n', stdout);
        if (ourLogFileP) {
            std::fputs(ourMsgBuf, ourLogFileP);
            std::fputc('\n', ourLogFileP);
        }
        if (ourSyslogFlag)
            syslog(priority, "%s\n", ourMsgBuf);
    } else {
        toSinks(priority, ourMsgBuf);
    }
}

void Aa::logmsg(char const* format, ...)
{
    va_list args;
    va_start(args, format);
    emitMessage(LOG_NOTICE, format, args);
    va_end(args);
}

void Aa::logwarn(char const* format, ...)
{
    va_list args;
    va_start(args, format);
    emitMessage(LOG_WARNING, format, args);
    va_end(args);
}

void Aa::logerr(char const* format, ...)
{
    va_list args;
    va_start(args, format);
    emitMessage(LOG_ERR, format, args);
    va_end(args);
}

void Aa::logend(char const* colourName)
{
    if (colourName)
        std::fputs(Reset, stdout);
}

void Aa::log(char const* text, char const* prefix, char const* file, int line,
             char const* colourName)
{
    logstart(prefix, file, line, colourName);
    logmsg("%s", text ? text : "");
    logend(colourName);
}

void Aa::loglabel(char const* file, int line)
{
    char const* tail = filetail(file);
    int width = static_cast<int>(std::strlen(tail)) + digitCount(line) + 8;
    char label[64 + 4096];
    if (width > ourLabelWidth) {
        std::free(ourLabelPad);
        ourLabelPad = static_cast<char*>(std::malloc(static_cast<size_t>(width) + 1));
        A_ASSERT(ourLabelPad);
        std::memset(ourLabelPad, ' ', static_cast<size_t>(width));
        ourLabelPad[width] = '\0';
        ourLabelWidth = width;
        std::snprintf(label, sizeof label, "[ %s @ %i ] ", tail, line);
    } else {
        std::snprintf(label, sizeof label, "[ %s @ %i ] %s", tail, line, ourLabelPad + width);
    }
    toSinks(LOG_NOTICE, label);
}

char const* Aa::filetail(char const* path)
{
    if (!path)
        return "";
    char const* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

void Aa::printColorCodeForName(char const* colourName)
{
    if (!colourName)
        return;
    ColourPair const& c = colourFor(colourName);
    std::fputs(c.fg, stdout);
    std::fputs(c.bg, stdout);
}

void Aa::printByte(unsigned char byte, char const* label, bool newline)
{
    static char const* const Names[32] = {"nul", "soh", "stx", "etx", "eot", "enq", "ack", "bel",
                                          "bs",  "ht",  "nl",  "vt",  "np",  "cr",  "so",  "si",
                                          "dle", "dc1", "dc2", "dc3", "dc4", "nak", "syn", "etb",
                                          "can", "em",  "sub", "esc", "fs",  "gs",  "rs",  "us"};
    char const* end = newline ? "\n" : "";
    if (label)
        std::printf("%s: ", label);
    if (byte >= 32 && byte <= 126) {
        char one[2] = {static_cast<char>(byte), '\0'};
        std::printf("[ %i = '%s' ]%s", byte, one, end);
    } else if (byte < 32) {
        std::printf("[ %i = <%s> ]%s", byte, Names[byte], end);
    } else if (byte == 127) {
        std::printf("[ 127 = <del> ]%s", end);
    } else {
        std::printf("[ %i ]%s", byte, end);
    }
}

bool Aa::beginLogToFile(char const* path)
{
    A_ASSERT(!ourLogFileP);
    // Appending, created when missing ("aw+" of the original platform is "a+" here).
    ourLogFileP = std::fopen(path, "a+");
    return ourLogFileP != nullptr;
}

void Aa::endLogToFile()
{
    A_ASSERT(ourLogFileP);
    std::fclose(ourLogFileP);
    ourLogFileP = nullptr;
}

bool Aa::enableSysLog(char const* ident)
{
    ourSyslogName = ident;
    ourSyslogFlag = true;
    openlog(ident, 0, LOG_DAEMON);
    return true;
}

void Aa::disableSysLog()
{
    closelog();
    ourSyslogFlag = false;
}
