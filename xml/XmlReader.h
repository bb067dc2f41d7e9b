#pragma once

#include <cstdint>

#include "XmlReadHandler.h"
#include "XmlSkipHandler.h"
#include "XmlTokens.h"

#include <cstddef>
#include <list>
#include <string>
#include <vector>

class XmlPushParser;
class XmlStretches;

// Streams a document node by node and hands element starts, ends and texts to a stack of
// handlers: each class reads its own part of a document and pushes the owner of a nested part.
// The handlers belong to their owners; the reader only stacks them.
//
// The nodes are those of libxml2's tree of the document, in document order: elements (their
// namespace declarations count among their attributes, first), whole texts, comments and
// processing instructions (their texts are values), a document type. A large file that the
// program wrote is parsed by several threads in stretches (see XmlStretches); the handlers still
// get every node on the calling thread, in order, and the outcome is that of one parse.
class XmlReader
{
public:
    XmlReader();
    virtual ~XmlReader();

    // Reads a regular file through the handlers. Anything else (a named pipe, a device, a
    // folder) is refused before it is read. On failure failMessage() says why: "Unable to open
    // <path>: <the system's reason>", "<path> : the file is empty", "<path> : failed to parse"
    // (with " at line N: " and the parser's reason when it gave one),
    // "<path> : reading stopped: out of memory" (or what else stopped the parser's work) or
    // "<path> : " and what a handler refused; the same line goes to standard error.
    virtual bool parseFile(char const* path);
    virtual bool startElement(char const* name, int attrCount);
    virtual bool endElement(char const* name);
    virtual bool handleValue(char const* value);

    // Attributes of the current element. The text belongs to the reader and lasts until the
    // next node is read.
    virtual bool getAttr(char const* name, char const*& value);
    virtual bool getAttr(char const* name, int& value);
    virtual bool getAttr(char const* name, long& value);
    virtual bool getAttr(char const* name, unsigned long& value);
    virtual bool getAttr(char const* name, double& value);
    virtual bool getAttr(char const* name, float& value);
    virtual bool getAttr(char const* name, bool& value);
    virtual bool getAttr(int index, char const*& name, char const*& value);
    // The values of the n attributes named, in one pass over the current element's attributes
    // (values[i] null for one it does not have). True when it has them all.
    bool getAttrs(char const* const* names, char const** values, int n);
    // A structural number of a document: decimal digits only (no sign, no blanks) within
    // [lo, hi]. Unlike the int and long forms, text that is not such a number fails.
    bool getDecimalAttr(char const* name, uint64_t lo, uint64_t hi, uint64_t& value);

    // Parsing is driven by parseFile: a handler does not step the reader. Always -1.
    virtual int readNext();
    virtual void pushHandler(XmlReadHandler* handler, void* data);
    virtual void popHandler();
    virtual void* handlerData();
    virtual void processNode();
    virtual void printNode();
    virtual char const* nodeTypeStr(int type);

    bool isWhitespace(char const* text);
    void updateDepthString(char const* text);

    // The element being delivered has no content (a single tag): no end will follow it.
    bool isEmptyElement();
    // Depth of the current node; the root element is at 0.
    int depth();
    XmlReadHandler* currentHandler() const { return myHandler; }
    int stackSize() const { return static_cast<int>(myHandlers.size()); }

    // Called from a start callback: the rest of the current element (its whole subtree and its
    // end) reaches nobody. Keeps the handler stack in step also for empty elements.
    void skipElement();

    // Called from any callback: stop reading; parseFile then reports the message and fails.
    void fail(char const* message);
    // Whether the last parseFile stopped; failMessage() is the line it reported.
    bool failed() const { return myFailed; }
    std::string const& failMessage() const { return myFailMessage; }

    // How the last parseFile read: the stretches read in parallel (0: one parse from the start),
    // whether one parse took over from a stretch that could not be trusted, and whether it had
    // to begin at the start of the file to do so.
    struct Course
    {
        int stretches = 0;
        int replayed = 0;
        bool tookOver = false;
        bool restarted = false;
    };
    Course const& course() const { return myCourse; }

private:
    template <class Long> bool getLongAttr(char const* name, Long& value);
    bool report(std::string const& message);
    bool offerStart(char const* name, int attrCount);
    bool offerEnd(char const* name);
    bool offerValue(char const* value);
    void traceStack();
    // Where one parse begins: at from, after a prefix (see XmlPushParser::beginInside) unless from
    // the start; from the start with a boundary, only nodes from that offset on are handed on.
    struct Resume
    {
        unsigned long long from = 0;
        std::string prefix;
        int opens = 0;
        bool afterRoot = false;
        long line = 1;
        unsigned long long boundary = 0;
        // The text just before the boundary was held back (see HeldText): handed on from here.
        bool fromHeld = false;
    };
    bool readStretches(XmlStretches& stretches, int fd, std::string const& path);
    // prefixRefused: set instead of reading on when the prefix does not open what it announced.
    bool readOnce(int fd, std::string const& path, Resume const& at, bool* prefixRefused = nullptr);
    // Hands the parser's tokens that are complete to the handlers (those before its first fault
    // only, and when bounded those from the boundary on); false once the reader failed.
    bool deliver(XmlPushParser& parser, bool fromStart, bool finished, bool bounded,
                 bool heldBefore, std::size_t& skip);
    // The fault of the file as one parse of it from the start tells it, for a parse that went
    // wrong from a stretch on: a parse resumed after a prefix names the prefix's lines where a
    // fault points back at a start tag, and libxml2 words some faults after how much of the
    // input it had at hand. That parse hands on nothing; the reader's state stays as it was.
    std::string faultOfOneParse(int fd, std::string const& path);
    // Hands count tokens from offset at on; skipped ones only keep the depth.
    void replay(XmlTokens const& tokens, std::size_t& at, std::size_t count, std::size_t& skip);
    // The text token at offset at held back, and handed on.
    void holdText(XmlTokens const& tokens, std::size_t at);
    void deliverHeld();
    char const* nodeName() const;
    char const* nodeValue();

    // The node being delivered, its attributes, its depth; myInNode while there is one.
    XmlTokens::Node myNode;
    std::vector<XmlTokens::Attr> myAttrs;
    bool myInNode = false;
    int myNodeDepth = -1;
    // Elements open before the next node.
    int myOpenDepth = 0;
    // Tokens of the present parse handed on so far.
    std::size_t myDelivered = 0;
    // The text that ends a trusted stretch: only the markup after it ends it, and one parse hands
    // on no text that a fault leaves open. It waits for the next stretch (or one parse) to read
    // that markup.
    struct HeldText
    {
        bool held = false;
        // The one token, copied: its stretch's buffer goes to the next stretch.
        XmlTokens token;
    };
    HeldText myHeld;
    std::string myIndent;
    Course myCourse;
    // False when the last parse could not even make its parser.
    bool myParserStarted = true;
    XmlReadHandler* myHandler;
    void* myHandlerData;
    std::vector<XmlReadHandler*> myHandlers;
    std::vector<void*> myHandlerDatas;
    std::string myDepthString;

    XmlSkipHandler mySkip;
    bool myFailed;
    std::string myFailMessage;
    // What the last parse found wrong in the file ("line N: ..."), for the message.
    std::string myParseFault;
    // A parse that only looks for the file's fault (faultOfOneParse): no node is handed on.
    bool myQuietParse = false;
};
