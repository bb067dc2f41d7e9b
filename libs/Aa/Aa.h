#pragma once

#include <cstdio>

// The system's one way of reporting. No instances: all state is process-wide and used from
// the one thread of the event loop. A trace always reaches standard output; it also reaches a
// log file while one is open, and syslog while that is enabled.
class Aa
{
public:
    static void logstart(char const* prefix, char const* file, int line, char const* colourName);
    static void logmsg(char const* format, ...) __attribute__((format(printf, 1, 2)));
    static void logwarn(char const* format, ...) __attribute__((format(printf, 1, 2)));
    static void logerr(char const* format, ...) __attribute__((format(printf, 1, 2)));
    static void logend(char const* colourName);
    static void log(char const* text, char const* prefix, char const* file, int line,
                    char const* colourName);
    static void loglabel(char const* file, int line);
    static char const* filetail(char const* path);
    static void printColorCodeForName(char const* colourName);
    static void printByte(unsigned char byte, char const* label, bool newline);
    static bool beginLogToFile(char const* path);
    static void endLogToFile();
    static bool enableSysLog(char const* ident);
    static void disableSysLog();

    // The escape pair of a colour name (black on white for unknown names).
    static char const* foregroundCode(char const* colourName);
    static char const* backgroundCode(char const* colourName);

    // Whether the busy paths trace too (a line per object, per XML element, per refresh step):
    // only when the environment variable VANTREL_TRACE is "1", read once. Start-up, documents,
    // commands and warnings trace whatever it says.
    static bool detailedTraces();

    static FILE* ourLogFileP;
    static bool ourSyslogFlag;
    static char const* ourSyslogName;
    static int ourLabelWidth;
    static char* ourLabelPad;
    static constexpr int MsgBufSize = 16384;
    static char ourMsgBuf[MsgBufSize];

private:
    // Not named "emit": Qt defines that word away as a macro.
    static void emitMessage(int priority, char const* format, __builtin_va_list args);
};
