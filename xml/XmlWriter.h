#pragma once

#include "Xml.h"

#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// Writes one indented document element by element, with typed attributes. The document goes
// to a temporary file beside the target and replaces the target only when every step, the
// final flush and close included, succeeded: a failed save never harms the earlier file.
//
// The new file keeps the identity of the one it replaces: its permission bits, and, when the
// path is a symbolic link, its place (the link's target is replaced, the link stays). A new
// file gets the mode a plain create gives under the process's umask. A successful save also
// removes what killed saves of the same file left beside it.
//
// Nothing beyond the document limits of Xml (nesting depth, stored size of a start tag or a
// text) is written: such a step fails with a message naming the element or the attribute.
//
// The bytes are those libxml2's xmlTextWriter writes with an indent of three blanks: the writer
// escapes and converts texts itself into a buffer of its own and writes it in large blocks. The
// encodings are "ISO-8859-1" (a character beyond it as a decimal reference "&#8364;") and
// "UTF-8", in any case of letters; a null encoding writes UTF-8 without naming it, characters
// beyond ASCII in attribute values as hexadecimal references. Any other encoding fails the start.
class XmlWriter : public Xml
{
public:
    explicit XmlWriter(char const* encoding);
    ~XmlWriter() override;

    virtual bool startDocument(char const* path, char const* root);
    virtual bool endDocument();
    virtual bool startElement(char const* name);
    virtual bool endElement();
    virtual bool addAttribute(char const* name, char const* value);
    virtual bool addAttribute(char const* name, double value);
    virtual bool addAttribute(char const* name, float value);
    virtual bool addAttribute(char const* name, bool value);
    virtual bool addAttribute(char const* name, int value);
    virtual bool addAttribute(char const* name, long value);
    virtual bool addAttribute(char const* name, unsigned long value);
    virtual bool addAttribute(char const* name, unsigned int value);
    // An attribute whose text is one of the program's own names (a class, an attribute, a type:
    // plain ASCII letters, digits, ':' and '_'), which needs no check.
    virtual bool addNameAttribute(char const* name, char const* ownName);
    virtual bool addString(char const* text);
    virtual bool addValue(double value);
    virtual bool addValue(float value);
    virtual bool addValue(bool value);
    virtual bool addValue(int value);
    virtual bool addValue(unsigned int value);
    virtual bool addValue(long value);
    virtual bool addValue(unsigned long value);
    virtual bool addComment(char const* text);

    // Writes count runs of steps in order, as run(index, w, apart) writes each through w. A run
    // holds whole elements only (it begins with one), such as a run of a pool's objects. With
    // several threads the runs are formatted on worker threads (apart true, w a writer of the
    // run's own that keeps its bytes in memory and prints nothing: the steps must print nothing
    // either and change nothing they share) and joined here in order, while this thread writes
    // the file. A run that fails apart (a step refused it, its worker threw, no worker could be
    // started) is written again here, with all that follows it, so that a refusal and its
    // messages read as without threads. False when a step failed or the file did not take what
    // was joined.
    using Run = std::function<bool(size_t index, XmlWriter& w, bool apart)>;
    virtual bool writeRuns(size_t count, Run const& run);
    // The threads writeRuns formats on: 0 (the default) for one per processor, 1 for none.
    static unsigned ourThreads;

    // Test hooks, null in the program: WriteCall stands for write(2) on the document's file
    // (direct: the descriptor writes past the page cache, as the file system then demands);
    // ThreadStart runs before each worker thread starts and may throw as starting one may.
    using WriteCall = ssize_t (*)(int fd, void const* bytes, size_t size, bool direct);
    using ThreadStart = void (*)(unsigned worker);
    static WriteCall ourWriteCall;
    static ThreadStart ourThreadStart;

    // The errno of the first call to the system that failed the document (creating, writing,
    // syncing or renaming its file), or 0 when none did: a step the writer refused itself has
    // no reason of the system's. Printed with the target when it happens.
    int systemError() const { return mySystemError; }

    // What the writer refused itself, for the user: what it was and why, as "the attribute
    // 'value' would take 10,000,052 bytes, more than a document can hold (9,990,000)". Empty
    // when the writer refused nothing. Printed, in the writer's own words, when it happens.
    std::string refusal() const;
    // Names what the pending refusal refused, in the caller's words ("the title of an event").
    // The first name given stays: the innermost caller knows best.
    void nameRefused(std::string const& what);
    // Refuses a value the caller cannot write, in its words ("the start of an event", "is beyond
    // the calendar's years"): the document fails with it as its refusal. Returns false.
    bool refuseValue(std::string const& what, std::string const& why);

    // A copy of text converted from the named encoding to UTF-8, or null (null text, unknown
    // encoding, no memory, a conversion that fails or stops short). libxml2's xmlChar text:
    // freed with xmlFree.
    unsigned char* ConvertInput(char const* text, char const* encoding);

private:
    // How a text is written: as it is (names, comments), as element content, as an attribute
    // value. Each escapes what the one before it does not.
    enum class Escape
    {
        None,
        Content,
        Attribute
    };
    // The document's encoding; Unnamed is UTF-8 without a declaration of it.
    enum class Charset
    {
        Latin1,
        Utf8,
        Unnamed
    };
    // An element still open: where its name lies in myNames (each name ends with its NUL), and
    // whether its start tag is still open (no '>' written yet).
    struct Element
    {
        size_t nameAt;
        bool tagOpen;
    };

    // A writer of one run formatted apart, at that depth of the document.
    XmlWriter(Charset charset, size_t depth);
    size_t writeApart(size_t count, Run const& run, unsigned threads);
    void join(XmlWriter const& run);
    // A writer of a joined run, ready for another at the same depth.
    void restartRun();
    size_t depth() const { return myBase + myOpen.size(); }

    // Prints, unless the writer formats apart.
    void tell(char const* format, ...) const __attribute__((format(printf, 2, 3)));
    // Whether the text holds what a document cannot store; kind and name say what it is ("the
    // attribute 'value'"; name may be null).
    bool refused(char const* text, char const* kind, char const* name);
    bool note(int rc, char const* message);
    bool open(char const* name, char const* message);
    // Whether a stored size fits a document; what names it in the printed message, subject in
    // the refusal.
    bool fits(size_t size, char const* what, char const* subject, char const* message);
    // Keeps the first refusal of the writer's own: what was refused and why.
    void refuse(std::string what, std::string why);
    // A text the writer formatted itself (a number, "True", "False") is plain ASCII that needs
    // no escape: it skips the checks every other text gets.
    bool writeAttr(char const* name, char const* text, bool ownText = false);
    bool writeText(char const* text, char const* message);
    bool createTemp(char const* path);
    // The document is lost for the system's reason (an errno value): the first one is kept.
    void lose(int error);
    void removeLeftovers() const;
    void discard();

    // The output: bytes appended to the buffer, which goes to the file a block at a time.
    void put(char const* bytes, size_t size);
    void put(char c);
    void spill(char const* bytes, size_t size);
    void send(char const* bytes, size_t size);
    // Full blocks past the page cache (where the file system lets them), or all through it.
    void setDirect(bool on);
    template <size_t N> void put(char const (&literal)[N]) { put(literal, N - 1); }
    template <Escape E> void putText(char const* text);
    void putIndent(size_t levels);
    void putName(Element const& e);
    // Ends the element on top: "/>" or its end tag, then the line.
    void closeTop();
    // Ends a start tag still open with its line, before an element or a comment inside it.
    void endStartTag();
    bool flush();

    char const* myEncoding;
    Charset myCharset;
    // Between a successful start and the end or the abandonment of a document.
    bool myWriting;
    // A writer of a run formatted apart, and the depth its elements begin at.
    bool myApart;
    size_t myBase;
    struct Free
    {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, Free> myBuffer;
    size_t myCapacity;
    size_t myUsed;
    int myFd;
    // Full blocks go past the page cache: a large document is not copied into memory only to be
    // written from there by the sync.
    bool myDirect;
    // A block could not be written, or a text of the program's own was no UTF-8: the document
    // is lost and its save fails.
    bool myLost;
    int mySystemError;
    // libxml2's rule for the line of an end tag: indented unless text or a comment came last.
    bool myIndentEnd;
    std::vector<Element> myOpen;
    std::string myNames;
    // The file the document replaces (a symbolic link followed to its end) and the temporary
    // file it is written to.
    std::string myTarget;
    std::string myTempPath;
    bool myFailed;
    // The first refusal of the writer's own; its subject named by a caller or not yet.
    std::string myRefusedWhat;
    std::string myRefusedWhy;
    bool myRefusedNamed;
    // The stored size of the start tag being written (0 once its content began) and of the text
    // written since the last tag.
    size_t myTagBytes;
    size_t myTextBytes;
};
