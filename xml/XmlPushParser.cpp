#include "XmlPushParser.h"

#include "Xml.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace {

char const* cstr(xmlChar const* s)
{
    return reinterpret_cast<char const*>(s);
}

// Stands for the local name of a namespace declaration in the name cache.
char const XmlnsMark = 0;

// The target of the instruction that ends a prefix. No document of ours holds one, and one in a
// document could only come after the mark.
constexpr char const* PrefixMark = "vantrel-stretch";

// An attribute value as the parser hands it over: between value and end, and with "&#38;" for
// each '&' that a reference gave, since the tree builder reads references in it once more.
void attributeValue(xmlChar const* value, xmlChar const* end, std::string& out, char const*& text,
                    std::size_t& length)
{
    auto const* v = cstr(value);
    length = static_cast<std::size_t>(end - value);
    if (!std::memchr(v, '&', length)) {
        text = v;
        return;
    }
    out.clear();
    for (std::size_t i = 0; i < length;) {
        if (v[i] == '&' && i + 5 <= length && std::memcmp(v + i, "&#38;", 5) == 0) {
            out += '&';
            i += 5;
        } else {
            out += v[i++];
        }
    }
    text = out.data();
    length = out.size();
}

// A UTF-8 text as ISO-8859-1 bytes; false when it holds a character beyond.
bool toLatin1(std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto const c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xc2 || c == 0xc3) && i + 1 < text.size()) {
            out += static_cast<char>(((c & 0x03) << 6) |
                                     (static_cast<unsigned char>(text[++i]) & 0x3f));
        } else {
            return false;
        }
    }
    text = std::move(out);
    return true;
}

// Where a name the parser interned starts its search in the name cache.
std::size_t nameHash(void const* local, void const* prefix)
{
    return (reinterpret_cast<std::uintptr_t>(local) * 31u +
            reinterpret_cast<std::uintptr_t>(prefix)) >>
           3;
}

} // namespace

XmlPushParser::XmlPushParser(bool silent) : mySax(new xmlSAXHandler), mySilent(silent)
{
    Xml::initLibrary();
    // The tree builder's handlers for what a document type declares; our own for the content.
    xmlSAXVersion(mySax, 2);
    mySax->startElementNs = onStart;
    mySax->endElementNs = onEnd;
    mySax->characters = onCharacters;
    mySax->ignorableWhitespace = onCharacters;
    mySax->cdataBlock = onCData;
    mySax->comment = onComment;
    mySax->processingInstruction = onPi;
    mySax->internalSubset = onInternalSubset;
    if (silent)
        mySax->serror = onDiagnostic;
    else
        mySax->error = onError;
}

XmlPushParser::~XmlPushParser()
{
    if (myCtxt) {
        if (myCtxt->myDoc)
            xmlFreeDoc(myCtxt->myDoc);
        myCtxt->myDoc = nullptr;
        xmlFreeParserCtxt(myCtxt);
    }
    delete mySax;
}

void XmlPushParser::endPrefix(std::string& prefix, std::string_view lead)
{
    prefix.append("<?").append(PrefixMark).append("?>\n").append(lead);
}

bool XmlPushParser::create(char const* path, char const* first, std::size_t length)
{
    // As the text reader starts: the encoding is guessed from the first four bytes.
    int const head = static_cast<int>(std::min<std::size_t>(length, 4));
    myCtxt = xmlCreatePushParserCtxt(mySax, nullptr, first, head, path);
    if (!myCtxt)
        return false;
    myCtxt->_private = this;
    xmlCtxtUseOptions(myCtxt, XML_PARSE_NONET);
    return true;
}

bool XmlPushParser::begin(char const* path, char const* first, std::size_t length)
{
    int const head = static_cast<int>(std::min<std::size_t>(length, 4));
    return create(path, first, length) &&
           feed(first + head, length - static_cast<std::size_t>(head), false);
}

bool XmlPushParser::beginInside(char const* path, std::string const& prefix, int opens,
                                bool afterRoot)
{
    myPhase = Phase::Prefix;
    myPrefixOpens = opens;
    myPrefixAfterRoot = afterRoot;
    if (!create(path, prefix.data(), prefix.size())) {
        myPrefixRefused = true;
        return false;
    }
    // The prefix is read whole now, through its mark (the parser reads markup as soon as its end
    // is in): what it raises meanwhile is the prefix's.
    myCtxt->sax->serror = onDiagnostic;
    std::size_t const head = std::min<std::size_t>(prefix.size(), 4);
    bool ok = feed(prefix.data() + head, prefix.size() - head, false);
    if (!mySilent)
        myCtxt->sax->serror = nullptr;
    if (ok && myPhase == Phase::Prefix) {
        refusePrefix();
        ok = false;
    }
    // A prefix whose reading threw said nothing about its guess.
    if (!ok && !myThrown)
        myPrefixRefused = true;
    return ok;
}

bool XmlPushParser::feed(char const* data, std::size_t length, bool terminate)
{
    if (!myCtxt || failed())
        return false;
    // The text reader's own test: any fault the parser returns, or a document no longer well
    // formed.
    int const ret = xmlParseChunk(myCtxt, data, static_cast<int>(length), terminate ? 1 : 0);
    if (ret != 0 || !myCtxt->wellFormed || myStopped) {
        faultHere();
        return false;
    }
    return true;
}

void XmlPushParser::setLine(long line)
{
    xmlParserInputPtr in = myCtxt ? myCtxt->input : nullptr;
    if (!in)
        return;
    // The line break of the prefix's lead may not be read yet: it comes before the line.
    long pending = 0;
    if (in->cur && in->end && in->cur < in->end)
        pending = std::count(in->cur, in->end, '\n');
    in->line = static_cast<int>(line - pending);
}

void XmlPushParser::markBoundary()
{
    // A text still being joined goes on before the boundary.
    myTokensBefore = myTokens.tokens();
    myBoundary = Boundary::Pending;
}

void XmlPushParser::onDiagnostic(void* self, xmlErrorPtr error) noexcept
{
    // A silent parse notes what one parse would have printed; what the prefix raises was printed
    // where its start tags stood, if they were the document's.
    XmlPushParser* const p = of(self);
    if (p && p->myPhase != Phase::Prefix) {
        p->myDiagnosed = true;
        p->myFaults.note(error);
    }
}

void XmlPushParser::onError(void* self, char const* format, ...) noexcept
{
    // libxml2 has stored the error in the context before it calls here.
    if (XmlPushParser* const p = of(self))
        p->myFaults.note(xmlCtxtGetLastError(self));
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    xmlParserError(self, "%s", line);
}

XmlPushParser* XmlPushParser::of(void* ctx)
{
    // A document type's entities are parsed with contexts of their own: their content is
    // nothing the reader delivers.
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    auto* p = static_cast<XmlPushParser*>(ctxt->_private);
    return p && p->myCtxt == ctxt ? p : nullptr;
}

template <class Body> void XmlPushParser::guarded(void* ctx, Body const& body) noexcept
{
    XmlPushParser* const p = of(ctx);
    if (!p)
        return;
    // Nothing may unwind through the parser's frames: what a callback throws stops the parse
    // and waits for the caller of feed().
    try {
        body(*p);
    } catch (...) {
        if (!p->myThrown)
            p->myThrown = std::current_exception();
        // Not faultHere(): the tokens may have been left half written.
        if (p->myErrorAt == NoError)
            p->myErrorAt = p->myTokens.tokens();
        p->stop();
    }
}

bool XmlPushParser::closeOpen()
{
    myOpenAtEnd.clear();
    std::string suffix;
    for (long long at : myOpen)
        myOpenAtEnd.push_back(at >= 0 ? canonical(myTokens, static_cast<std::size_t>(at))
                                      : myPrefixOpen[static_cast<std::size_t>(-1 - at)]);
    // The names as the input has them: the parser's are UTF-8, the input may be ISO-8859-1.
    bool const latin1 =
        myCtxt && myCtxt->input && myCtxt->input->buf && myCtxt->input->buf->encoder;
    for (auto it = myOpenAtEnd.rbegin(); it != myOpenAtEnd.rend(); ++it) {
        std::string name(it->c_str());
        if (latin1 && !toLatin1(name)) {
            faultHere();
            return false;
        }
        suffix += "</" + name + ">";
    }
    // The ends of the suffix are not the document's.
    mySuffixLeft = static_cast<int>(myOpenAtEnd.size());
    bool const ok = feed(suffix.data(), suffix.size(), true);
    myEndsInText = ok && myTokens.textOpen();
    if (!myThrown)
        myTokens.closeText();
    return ok;
}

bool XmlPushParser::pastPrefixOrBoundary(bool isText)
{
    switch (myPhase) {
    case Phase::Content:
        break;
    case Phase::Prefix:
        refusePrefix();
        return false;
    case Phase::Lead:
        if (isText)
            return false;
        myPhase = Phase::Content;
        break;
    }
    if (myBoundary == Boundary::Pending) {
        // Text right after the boundary came before it: the input after it begins with markup.
        if (!isText)
            myBoundary = Boundary::Known;
        else
            myTokensBefore += myTokens.joinsText(XmlTokens::Text) ? 0 : 1;
    }
    return true;
}

void XmlPushParser::refusePrefix()
{
    myPrefixRefused = true;
    faultHere();
    stop();
}

bool XmlPushParser::noteFault()
{
    if (myErrorAt != NoError)
        return false;
    if (!myCtxt->wellFormed) {
        faultHere();
        return false;
    }
    return true;
}

void XmlPushParser::faultHere()
{
    if (myErrorAt != NoError)
        return;
    // A text that the fault cut short is no node: how much of it the parser had handed over
    // depends on how the input was fed.
    bool const open = myTokens.textOpen();
    myTokens.closeText();
    myErrorAt = myTokens.tokens() - (open ? 1 : 0);
    if (myBoundary == Boundary::Pending)
        myBoundary = Boundary::Known;
}

void XmlPushParser::stop()
{
    myStopped = true;
    xmlStopParser(myCtxt);
}

uint32_t XmlPushParser::name(XmlTokens& out, void const* local, void const* prefix,
                             char const* xmlns)
{
    auto make = [&] {
        std::string n;
        if (xmlns) {
            n = "xmlns";
            if (prefix)
                n.append(":").append(static_cast<char const*>(prefix));
        } else {
            if (prefix)
                n.append(static_cast<char const*>(prefix)).append(":");
            n.append(static_cast<char const*>(local));
        }
        return out.addName(n);
    };
    if (&out != &myTokens)
        return make();
    if (xmlns)
        local = &XmlnsMark;
    // The parser's names are interned: their addresses are their identities.
    if (myNameCache.empty())
        myNameCache.assign(64, NameKey {nullptr, nullptr, 0});
    std::size_t const mask = myNameCache.size() - 1;
    for (std::size_t h = nameHash(local, prefix);; ++h) {
        NameKey& k = myNameCache[h & mask];
        if (!k.local) {
            k = {local, prefix, make()};
            uint32_t const id = k.id;
            if (++myNamesCached * 2 > myNameCache.size()) {
                std::vector<NameKey> old;
                old.swap(myNameCache);
                myNameCache.assign(old.size() * 2, NameKey {nullptr, nullptr, 0});
                std::size_t const m = myNameCache.size() - 1;
                for (NameKey const& o : old) {
                    if (!o.local)
                        continue;
                    std::size_t g = nameHash(o.local, o.prefix);
                    while (myNameCache[g & m].local)
                        ++g;
                    myNameCache[g & m] = o;
                }
            }
            return id;
        }
        if (k.local == local && k.prefix == prefix)
            return k.id;
    }
}

std::string XmlPushParser::canonical(XmlTokens const& from, std::size_t at) const
{
    XmlTokens::Node node;
    std::vector<XmlTokens::Attr> attrs;
    from.read(at, node, attrs);
    std::string out(node.name);
    out += '\0';
    for (auto const& a : attrs) {
        out += a.byName ? '1' : '0';
        out.append(a.name).append(1, '\0').append(a.value).append(1, '\0');
    }
    return out;
}

void XmlPushParser::onStart(void* self, xmlChar const* localname, xmlChar const* prefix,
                            xmlChar const* uri, int nbNamespaces, xmlChar const** namespaces,
                            int nbAttributes, int nbDefaulted, xmlChar const** attributes) noexcept
{
    (void)uri;
    guarded(self, [&](XmlPushParser& p) {
        bool const ofPrefix = p.myPhase == Phase::Prefix;
        if (!ofPrefix && (!p.pastPrefix(false) || !p.noteFault()))
            return;
        // As the text reader decides it: the start tag ends with "/>".
        xmlParserInputPtr in = p.myCtxt->input;
        bool const empty = in && in->cur && in->cur[0] == '/' && in->cur[1] == '>';
        XmlTokens& out = ofPrefix ? p.myPrefixTokens : p.myTokens;
        p.failPoint();
        std::size_t const at = out.start(p.name(out, localname, prefix, nullptr), empty);
        for (int i = 0; i < nbNamespaces; ++i) {
            char const* href = namespaces[2 * i + 1] ? cstr(namespaces[2 * i + 1]) : "";
            out.attr(p.name(out, nullptr, namespaces[2 * i], "xmlns"), true, href,
                     std::strlen(href));
        }
        // Attributes defaulted by a document type are not the element's own.
        for (int i = 0; i < nbAttributes - nbDefaulted; ++i) {
            xmlChar const** a = attributes + 5 * i;
            char const* text = nullptr;
            std::size_t length = 0;
            attributeValue(a[3], a[4], p.myScratch, text, length);
            // A prefix that no namespace binds leaves the attribute out of lookups by name.
            bool const byName = !a[1] || a[2];
            out.attr(p.name(out, a[0], a[1], nullptr), byName, text, length);
        }
        int const depth = p.myDepth;
        if (ofPrefix) {
            if (empty) {
                // Only the stand-in of a root that has ended is empty: no element open at a point
                // has an empty start tag.
                if (!p.myPrefixAfterRoot || depth != 0 || p.myRootEnded) {
                    p.refusePrefix();
                    return;
                }
                p.myRootEnded = true;
                p.myNextEndDropped = true;
                return;
            }
            if (p.myPrefixAfterRoot || static_cast<int>(p.myPrefixOpen.size()) >= p.myPrefixOpens) {
                p.refusePrefix();
                return;
            }
            p.myPrefixOpen.push_back(p.canonical(out, at));
            p.myOpen.push_back(-static_cast<long long>(p.myPrefixOpen.size()));
            ++p.myDepth;
            return;
        }
        if (depth == 0 && p.myRootAt == NoError)
            p.myRootAt = p.myTokens.tokens() - 1;
        if (empty) {
            p.myNextEndDropped = true;
        } else {
            p.myOpen.push_back(static_cast<long long>(at));
            ++p.myDepth;
        }
        if (depth >= Xml::MaxDepth) {
            // The reader refuses it when it gets there; nothing deeper is wanted.
            p.faultHere();
            p.stop();
        }
    });
}

void XmlPushParser::onEnd(void* self, xmlChar const* localname, xmlChar const* prefix,
                          xmlChar const*) noexcept
{
    guarded(self, [&](XmlPushParser& p) {
        if (std::exchange(p.myNextEndDropped, false))
            return;
        if (!p.myOpen.empty())
            p.myOpen.pop_back();
        --p.myDepth;
        if (p.mySuffixLeft > 0) {
            --p.mySuffixLeft;
            return;
        }
        if (!p.pastPrefix(false) || !p.noteFault())
            return;
        if (p.myDepth == 0)
            p.myRootEnded = true;
        p.myTokens.end(p.name(p.myTokens, localname, prefix, nullptr));
    });
}

void XmlPushParser::text(XmlTokens::Kind kind, char const* text, std::size_t length)
{
    // Text outside the root element is no node of the document.
    if (myDepth <= 0 || !pastPrefix(kind == XmlTokens::Text) || !noteFault())
        return;
    if (myTokens.openTextLength(kind) + length > XML_MAX_TEXT_LENGTH) {
        // The tree builder refuses a text node this large: it is not delivered.
        myFaults.noteOwn(xmlSAX2GetLineNumber(myCtxt),
                         "a text of more than " + std::to_string(XML_MAX_TEXT_LENGTH) + " bytes");
        faultHere();
        stop();
        return;
    }
    myTokens.text(kind, text, length);
}

void XmlPushParser::onCharacters(void* self, xmlChar const* text, int length) noexcept
{
    guarded(self, [&](XmlPushParser& p) {
        p.text(XmlTokens::Text, cstr(text), static_cast<std::size_t>(length));
    });
}

void XmlPushParser::onCData(void* self, xmlChar const* text, int length) noexcept
{
    guarded(self, [&](XmlPushParser& p) {
        p.text(XmlTokens::CData, cstr(text), static_cast<std::size_t>(length));
    });
}

void XmlPushParser::onComment(void* self, xmlChar const* text) noexcept
{
    guarded(self, [&](XmlPushParser& p) {
        if (!p.pastPrefix(false) || !p.noteFault())
            return;
        char const* t = text ? cstr(text) : "";
        p.myTokens.text(XmlTokens::Comment, t, std::strlen(t));
        p.myTokens.closeText(); // comments side by side stay two nodes
    });
}

void XmlPushParser::onPi(void* self, xmlChar const* target, xmlChar const* data) noexcept
{
    guarded(self, [&](XmlPushParser& p) {
        if (p.myPhase == Phase::Prefix && target && std::strcmp(cstr(target), PrefixMark) == 0) {
            // The end of the prefix: it must have opened what it announced.
            if (static_cast<int>(p.myPrefixOpen.size()) != p.myPrefixOpens ||
                p.myPrefixAfterRoot != p.myRootEnded)
                p.refusePrefix();
            else
                p.myPhase = Phase::Lead;
            return;
        }
        if (!p.pastPrefix(false) || !p.noteFault())
            return;
        char const* d = data ? cstr(data) : "";
        p.myTokens.pi(p.name(p.myTokens, target, nullptr, nullptr), d, std::strlen(d));
    });
}

void XmlPushParser::onInternalSubset(void* self, xmlChar const* name, xmlChar const* externalId,
                                     xmlChar const* systemId) noexcept
{
    guarded(self, [](XmlPushParser& p) {
        if (p.pastPrefix(false) && p.noteFault())
            p.myTokens.doctype();
    });
    // What it declares is read as the tree builder reads it, so that the document parses on to
    // its root as it did; the reader refuses the document there.
    xmlSAX2InternalSubset(self, name, externalId, systemId);
}
