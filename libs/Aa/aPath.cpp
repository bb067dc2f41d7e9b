#include "aPath.h"

#include "aAssert.h"
#include "aEnv.h"
#include "aError_aPath_MiscError.h"
#include "aError_aPath_SystemError.h"
#include "aList.h"
#include "aTrace.h"
#include "str.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// ---- construction -----------------------------------------------------------------------------

aPath::aPath() : aString(), myTimestamp(0), myTail(nullptr), myHead(nullptr), myCacheMem(nullptr) {}

aPath::aPath(char const* text) : aPath()
{
    SetPath(text);
}

aPath::aPath(char const* dir, char const* name) : aPath()
{
    SetPath(dir, name);
}

aPath::aPath(aString const& other) : aPath()
{
    SetPath(other.c());
}

aPath::aPath(aString const* other) : aPath()
{
    SetPath(other ? other->c() : nullptr);
}

aPath::aPath(aPath const& other) : aPath()
{
    SetPath(other.c());
}

aPath::aPath(aPath const* other) : aPath()
{
    SetPath(other ? other->c() : nullptr);
}

aPath::~aPath()
{
    DropCache();
}

// ---- the cache ------------------------------------------------------------------------------

void aPath::DropCache() const
{
    delete[] myHead;
    myHead = nullptr;
    myTail = nullptr;
    myCacheMem = nullptr;
}

// The cache is served only while it still describes the text. Most changes drop it, but the
// text can also change where the path cannot see it (a setter of the buffer called through a
// base reference, a write through the character pointer, a new buffer at the old address), so
// the split is checked against the text: a search and a compare, no allocation.
bool aPath::CacheValid() const
{
    if (!myTail || !myMem || myCacheMem != myMem)
        return false;
    char const* slash = std::strrchr(myMem, '/');
    if (!slash)
        return !myHead && myTail == myMem;
    size_t const n = size_t(slash - myMem);
    return myHead && myTail == slash + 1 && std::strncmp(myHead, myMem, n) == 0 && myHead[n] == '\0';
}

void aPath::CreateHeadAndTail() const
{
    DropCache();
    if (!myMem)
        return;
    myCacheMem = myMem;
    char* slash = std::strrchr(myMem, '/');
    if (!slash) {
        myTail = myMem;
        return;
    }
    myTail = slash + 1;
    size_t const n = size_t(slash - myMem);
    myHead = new char[n + 1];
    std::memcpy(myHead, myMem, n);
    myHead[n] = '\0';
}

char const* aPath::GetTail() const
{
    if (!CacheValid())
        CreateHeadAndTail();
    return myTail ? myTail : myMem;
}

char const* aPath::GetHead() const
{
    if (!CacheValid())
        CreateHeadAndTail();
    return myHead ? myHead : myMem;
}

char const* aPath::GetDir() const
{
    if (!myMem || !std::strchr(myMem, '/'))
        return nullptr;
    return GetHead();
}

char const* aPath::GetPath() const
{
    return myMem;
}

// ---- setting and appending --------------------------------------------------------------------

void aPath::SetString(char const* text)
{
    aString::SetString(text);
    DropCache();
}

void aPath::SetStringExplicit(char* buffer)
{
    aString::SetStringExplicit(buffer);
    DropCache();
}

void aPath::SetPath(char const* text)
{
    SetString(text);
}

void aPath::SetPath(char const* dir, char const* name)
{
    // Either text may point into this path (its text or its head): build before releasing.
    char* joined = nullptr;
    char const* only = nullptr;
    if (!name || !*name) {
        only = dir;
    } else if (!dir || !*dir) {
        only = name;
    } else {
        size_t const dl = std::strlen(dir);
        size_t const nl = std::strlen(name);
        joined = new char[dl + 1 + nl + 1];
        std::memcpy(joined, dir, dl);
        joined[dl] = '/';
        std::memcpy(joined + dl + 1, name, nl + 1);
    }
    if (joined) {
        SetStringExplicit(joined);
    } else if (only && *only) {
        char* copy = new char[std::strlen(only) + 1];
        std::strcpy(copy, only);
        SetStringExplicit(copy);
    } else {
        Clear();
    }
}

void aPath::Clear()
{
    aString::Clear();
    DropCache();
}

aPath& aPath::operator=(char const* text) { SetPath(text); return *this; }
aPath& aPath::operator=(aString const* other) { SetPath(other ? other->c() : nullptr); return *this; }
aPath& aPath::operator=(aString const& other) { SetPath(other.c()); return *this; }
aPath& aPath::operator=(aPath const* other) { SetPath(other ? other->c() : nullptr); return *this; }

aPath& aPath::operator=(aPath const& other)
{
    if (this != &other)
        SetPath(other.c());
    return *this;
}

aPath& aPath::operator=(int value)
{
    aString::Set(value);
    DropCache();
    return *this;
}

aPath& aPath::operator=(double value)
{
    aString::Set(value);
    DropCache();
    return *this;
}

aPath& aPath::operator=(float value)
{
    return operator=(double(value));
}

void aPath::Append(char const* text) { aString::Append(text); DropCache(); }
void aPath::Append(int value) { aString::Append(value); DropCache(); }
void aPath::Append(long value) { aString::Append(value); DropCache(); }
void aPath::Append(float value) { aString::Append(value); DropCache(); }
void aPath::Append(double value) { aString::Append(value); DropCache(); }
void aPath::Prepend(char const* text) { aString::Prepend(text); DropCache(); }
void aPath::Strip(char const* set, bool left, bool right) { aString::Strip(set, left, right); DropCache(); }

bool aPath::CropToLength(int n)
{
    bool const cut = aString::CropToLength(n);
    DropCache();
    return cut;
}

bool aPath::LCropToLength(int n)
{
    bool const cut = aString::LCropToLength(n);
    DropCache();
    return cut;
}

aPath& aPath::operator+=(int value) { Append(value); return *this; }
aPath& aPath::operator+=(double value) { Append(value); return *this; }
aPath& aPath::operator+=(float value) { Append(value); return *this; }
aPath& aPath::operator+=(char const* text) { Append(text); return *this; }
aPath& aPath::operator+=(aString const& other) { Append(other.c()); return *this; }
aPath& aPath::operator+=(aString const* other) { A_ASSERT(other); Append(other->c()); return *this; }
aPath& aPath::operator+=(aPath const* other) { A_ASSERT(other); Append(other->c()); return *this; }
aPath& aPath::operator+=(aPath const& other) { Append(other.c()); return *this; }

int aPath::ReplaceChar(char from, char to)
{
    int const n = aString::ReplaceChar(from, to);
    DropCache();
    return n;
}

int aPath::ReplaceChar(char from, char const* to)
{
    int const n = aString::ReplaceChar(from, to);
    DropCache();
    return n;
}

int aPath::Replace(char const* pattern, char const* replacement, bool ignoreCase)
{
    int const n = aString::Replace(pattern, replacement, ignoreCase);
    DropCache();
    return n;
}

int aPath::MakeLowerCase()
{
    int const n = aString::MakeLowerCase();
    DropCache();
    return n;
}

int aPath::MakeUpperCase()
{
    int const n = aString::MakeUpperCase();
    DropCache();
    return n;
}

void aPath::Reverse()
{
    aString::Reverse();
    DropCache();
}

void aPath::Shellify()
{
    static char const special[] = " |><&?*()[{";
    for (char const* c = special; *c; ++c) {
        char const pattern[2] = {*c, '\0'};
        char const escaped[3] = {'\\', *c, '\0'};
        aString::Replace(pattern, escaped, false);
    }
    DropCache();
}

// ---- comparing --------------------------------------------------------------------------------

bool aPath::operator==(aPath const& other) const { return IsEqual(other.c()); }
bool aPath::operator!=(aPath const& other) const { return !IsEqual(other.c()); }
bool aPath::operator==(aPath const* other) const { A_ASSERT(other); return IsEqual(other->c()); }
bool aPath::operator!=(aPath const* other) const { A_ASSERT(other); return !IsEqual(other->c()); }

// ---- components -------------------------------------------------------------------------------

void aPath::AppendTail(char const* tail)
{
    SetPath(myMem, tail);
}

aPath& aPath::operator/=(char const* name) { AppendTail(name); return *this; }
aPath& aPath::operator/=(aString const* name) { A_ASSERT(name); AppendTail(name->c()); return *this; }
aPath& aPath::operator/=(aString const& name) { AppendTail(name.c()); return *this; }
aPath& aPath::operator/=(aPath const* name) { A_ASSERT(name); AppendTail(name->c()); return *this; }
aPath& aPath::operator/=(aPath const& name) { AppendTail(name.c()); return *this; }

aPath& aPath::operator*=(char const* name)
{
    if (GetDir())
        SetPath(GetHead(), name); // an empty head (a lone leading '/') gives the name alone
    else
        SetPath(name);
    return *this;
}

aPath& aPath::operator*=(aString const* name) { A_ASSERT(name); return operator*=(name->c()); }
aPath& aPath::operator*=(aString const& name) { return operator*=(name.c()); }
aPath& aPath::operator*=(aPath const* name) { A_ASSERT(name); return operator*=(name->c()); }
aPath& aPath::operator*=(aPath const& name) { return operator*=(name.c()); }

void aPath::RemoveTail()
{
    if (GetDir())
        SetPath(GetHead());
}

aPath& aPath::operator--()
{
    RemoveTail();
    return *this;
}

aPath aPath::operator--(int)
{
    aPath before(*this);
    RemoveTail();
    return before;
}

void aPath::GetFirst(aPath& out) const
{
    if (!myMem || !*myMem) {
        out.Clear();
    } else if (myMem[0] == '/') {
        out.SetPath("/");
    } else {
        char const* slash = std::strchr(myMem, '/');
        out.SetPath(aString(myMem, slash ? int(slash - myMem) : Length()).c());
    }
}

char const* aPath::GetRest() const
{
    char const* slash = myMem ? std::strchr(myMem, '/') : nullptr;
    return slash ? slash + 1 : nullptr;
}

char const* aPath::GetSuffix() const
{
    char const* tail = GetTail();
    return tail ? std::strrchr(tail, '.') : nullptr;
}

void aPath::GetBase(aString& out) const
{
    char const* tail = GetTail();
    char const* suffix = GetSuffix();
    if (suffix)
        out = aString(tail, int(suffix - tail));
    else
        out = tail;
}

void aPath::RemoveSuffix(char c)
{
    char* at = myMem ? std::strrchr(myMem, c) : nullptr;
    if (!at || c == '\0')
        return;
    SetPath(aString(myMem, int(at - myMem)).c());
}

bool aPath::SuffixIs(char const* text, char const* suffix)
{
    if (!text || !suffix)
        return false;
    size_t const tl = std::strlen(text);
    size_t const sl = std::strlen(suffix);
    return sl <= tl && std::strcmp(text + tl - sl, suffix) == 0;
}

char const* aPath::FilePart(char const* text)
{
    static char const prefix[] = "file://localhost";
    size_t const n = sizeof prefix - 1;
    if (text && std::strncmp(text, prefix, n) == 0)
        return text + n;
    return text;
}

void aPath::Debug()
{
    A_TRACE("Debug(%lx):\n myHead='%lx'\t@0x%lx\nmyMem='%lx'\t@0x%lx\n\n", (unsigned long)this,
            (unsigned long)myHead, (unsigned long)myHead, (unsigned long)myMem, (unsigned long)myMem);
}

// ---- tests of existence and kind --------------------------------------------------------------

namespace {

// The status of text (links followed unless noFollow); false when the call fails.
bool statOf(char const* text, bool noFollow, struct stat& st)
{
    char const* path = aPath::FilePart(text);
    if (!path)
        return false;
    return (noFollow ? lstat(path, &st) : stat(path, &st)) == 0;
}

bool anyKnownType(mode_t m)
{
    return S_ISFIFO(m) || S_ISCHR(m) || S_ISDIR(m) || S_ISBLK(m) || S_ISREG(m) || S_ISLNK(m) || S_ISSOCK(m);
}

bool isDirMode(mode_t m) { return S_ISDIR(m); }
bool isFileMode(mode_t m) { return S_ISREG(m); }
bool isLinkMode(mode_t m) { return S_ISLNK(m); }

bool staticTest(char const* text, bool* error, bool noFollow, bool (*holds)(mode_t))
{
    struct stat st;
    bool const ok = statOf(text, noFollow, st);
    if (error)
        *error = !ok;
    return ok && holds(st.st_mode);
}

int memberTest(char const* text, bool noFollow, bool (*holds)(mode_t))
{
    struct stat st;
    if (!statOf(text, noFollow, st))
        return -1;
    return holds(st.st_mode) ? 1 : 0;
}

} // namespace

bool aPath::Exists(char const* text, bool* error) { return staticTest(text, error, false, anyKnownType); }
bool aPath::IsDir(char const* text, bool* error) { return staticTest(text, error, false, isDirMode); }
bool aPath::IsFile(char const* text, bool* error) { return staticTest(text, error, false, isFileMode); }
bool aPath::IsLink(char const* text, bool* error) { return staticTest(text, error, true, isLinkMode); }
int aPath::Exists() const { return memberTest(myMem, false, anyKnownType); }
int aPath::IsDir() const { return memberTest(myMem, false, isDirMode); }
int aPath::IsFile() const { return memberTest(myMem, false, isFileMode); }
int aPath::IsLink() const { return memberTest(myMem, true, isLinkMode); }

// ---- sizes and times ----------------------------------------------------------------------------

bool aPath::GetFileSize(char const* text, long& size)
{
    struct stat st;
    if (!statOf(text, false, st) || !S_ISREG(st.st_mode))
        return false;
    size = long(st.st_size);
    return true;
}

bool aPath::GetFileSize(char const* text, int& size)
{
    long full = 0;
    if (!GetFileSize(text, full))
        return false;
    size = int(full); // cut to 32 bits
    return true;
}

int aPath::GetTimestampLastAccessed()
{
    struct stat st;
    return statOf(myMem, false, st) ? int(st.st_atime) : -1;
}

int aPath::GetTimestampLastModified()
{
    struct stat st;
    return statOf(myMem, false, st) ? int(st.st_mtime) : -1;
}

int aPath::GetTimestampLastChanged()
{
    struct stat st;
    return statOf(myMem, false, st) ? int(st.st_ctime) : -1;
}

time_t aPath::Timestamp()
{
    myTimestamp = time(nullptr);
    return myTimestamp;
}

int aPath::ModifiedSinceTimestamp()
{
    struct stat st;
    if (!statOf(myMem, false, st))
        return -1;
    return myTimestamp < st.st_mtime ? 1 : 0;
}

// ---- creating -------------------------------------------------------------------------------------

// The system calls that change the file system take the stripped text too, so that they act
// on the very entry the tests looked at.

int aPath::CreateAsDir(char const* text)
{
    aPath p(text);
    if (p.IsDir() == 1)
        return 0;
    aPath h(p.GetHead());
    if (!h.IsValid() || h == p)
        return -1;
    if (h.IsDir() != 1 && CreateAsDir(h.GetPath()) != 0)
        return -1;
    if (mkdir(FilePart(p.GetPath()), 0777) == 0)
        return 0;
    if (errno != EEXIST)
        return -1;
    // A text with a trailing or doubled '/' meets in its last step the directory that making
    // its parents has just made (so does one made meanwhile by someone else): it is there.
    if (p.IsDir() == 1)
        return 0;
    // Something else holds the name: the reason is that it is no folder, not that it exists.
    errno = ENOTDIR;
    return -1;
}

int aPath::CreateAsDir() const
{
    return CreateAsDir(myMem);
}

bool aPath::EnsureAsDir(char const* text)
{
    if (Exists(text, nullptr))
        return IsDir(text, nullptr);
    return CreateAsDir(text) == 0;
}

int aPath::CreateAsFile(char const* text)
{
    char const* path = FilePart(text);
    FILE* f = path ? std::fopen(path, "w") : nullptr;
    if (!f)
        return -1;
    std::fclose(f);
    return 0;
}

int aPath::CreateAsSoftLink(char const* target, char const* link)
{
    char const* path = FilePart(link);
    if (!target || !path)
        return -1;
    return symlink(target, path);
}

// ---- places and resolving -----------------------------------------------------------------------

bool aPath::SetToHomeDir()
{
    struct passwd const* pw = getpwuid(getuid());
    if (pw && pw->pw_dir && *pw->pw_dir) {
        SetPath(pw->pw_dir);
        return true;
    }
    // No entry in the user database (common in containers): the environment's word.
    aString home;
    if (aEnv::GetEnv("HOME", home) && home.IsValid()) {
        SetPath(home.c());
        return true;
    }
    return false;
}

bool aPath::GetCwd(aPath& out)
{
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) {
        out.Clear();
        return false;
    }
    out.SetPath(cwd);
    std::free(cwd);
    return true;
}

bool aPath::Resolve(char const* text, aPath& out)
{
    if (!text || !*text)
        return false;
    std::string const own(text); // out may hold text
    aPath result;
    if (own.compare(0, 2, "~/") == 0) {
        if (!result.SetToHomeDir())
            return false;
        if (own.size() > 2)
            result /= own.c_str() + 2;
    } else if (own[0] == '$') {
        std::vector<std::string> tokens;
        size_t start = 1;
        while (start <= own.size()) {
            size_t end = own.find('/', start);
            if (end == std::string::npos)
                end = own.size();
            if (end > start)
                tokens.push_back(own.substr(start, end - start));
            start = end + 1;
        }
        aString value;
        if (tokens.empty() || !aEnv::GetEnv(tokens[0].c_str(), value))
            return false;
        result.SetPath(value.c());
        for (size_t i = 1; i < tokens.size(); ++i)
            result /= tokens[i].c_str();
    } else if (own == "." || own == "./") {
        if (!GetCwd(result))
            return false;
    } else if (own.compare(0, 2, "./") == 0) {
        if (!GetCwd(result))
            return false;
        result /= own.c_str() + 2;
    } else if (own[0] != '/') {
        if (!GetCwd(result))
            return false;
        result /= own.c_str();
    } else {
        return false;
    }
    out.SetPath(result.GetPath());
    return true;
}

bool aPath::Resolve()
{
    return Resolve(myMem, *this);
}

// ---- listings -------------------------------------------------------------------------------------

namespace {

// The prefix filter's state: scandir's filter takes no context. Not reentrant.
aString ourPrefix;
int ourPrefixLength = 0;

int SelectNonDotEntry(struct dirent const* d)
{
    return std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0;
}

int SelectPrefixedEntry(struct dirent const* d)
{
    if (ourPrefix.c() && std::strncmp(d->d_name, ourPrefix.c(), size_t(ourPrefixLength)) != 0)
        return 0;
    return SelectNonDotEntry(d);
}

// Byte order of the names, whatever the locale's collation says.
int byteOrder(struct dirent const** a, struct dirent const** b)
{
    return std::strcmp((*a)->d_name, (*b)->d_name);
}

// Calls add(name) for every accepted entry, last to first, so that prepending keeps the order.
template <class Add>
bool listDir(char const* dir, bool sorted, int (*filter)(struct dirent const*), bool reportNotDir, Add add)
{
    struct stat st;
    if (!statOf(dir, false, st) || !S_ISDIR(st.st_mode)) {
        if (reportNotDir)
            std::fprintf(stderr, "Couldn't stat dir or it isn't a dir `%s'\n", dir ? dir : "");
        return false;
    }
    struct dirent** entries = nullptr;
    int const n = scandir(aPath::FilePart(dir), &entries, filter, sorted ? byteOrder : nullptr);
    if (n < 0) {
        std::perror("scandir");
        return false;
    }
    for (int i = n - 1; i >= 0; --i) {
        add(entries[i]->d_name);
        std::free(entries[i]);
    }
    std::free(entries);
    return true;
}

} // namespace

bool aPath::GetDirListing(char const* dir, aList<char*>& out, bool sorted)
{
    return listDir(dir, sorted, SelectNonDotEntry, true, [&](char const* name) {
        size_t const dl = std::strlen(dir);
        size_t const nl = std::strlen(name);
        char* entry = new char[dl + 1 + nl + 1];
        std::memcpy(entry, dir, dl);
        entry[dl] = '/';
        std::memcpy(entry + dl + 1, name, nl + 1);
        out.Prepend(entry);
    });
}

bool aPath::GetDirListing(char const* dir, aList<aPath*>& out, bool sorted)
{
    return listDir(dir, sorted, SelectNonDotEntry, false, [&](char const* name) { out.Prepend(new aPath(dir, name)); });
}

bool aPath::GetDirListing(char const* dir, std::list<rtl::str>& out, bool sorted)
{
    return listDir(dir, sorted, SelectNonDotEntry, false, [&](char const* name) {
        rtl::str entry;
        entry.set("%s%s%s", dir, "/", name);
        out.push_front(entry);
    });
}

bool aPath::GetDirListingOfPrefixed(char const* dir, char const* prefix, aList<aPath*>& out, bool sorted)
{
    if (!prefix)
        return GetDirListing(dir, out, true);
    ourPrefix = prefix;
    ourPrefixLength = int(std::strlen(prefix));
    return listDir(dir, sorted, SelectPrefixedEntry, false, [&](char const* name) { out.Prepend(new aPath(dir, name)); });
}

void aPath::PrintDirListing(char const* dir, bool sorted, int levels)
{
    aPath up(dir);
    for (int i = 0; i < levels; ++i)
        up.RemoveTail();
    std::list<rtl::str> entries;
    if (!GetDirListing(up.GetPath(), entries, sorted))
        return;
    for (rtl::str const& e : entries) {
        char const* marker = IsLink(e.c(), nullptr) ? "->" : "  ";
        char const* kind = IsDir(e.c(), nullptr) ? "dir " : "file";
        A_TRACE("%s %s %s\n", marker, kind, e.c());
    }
}

// ---- removal --------------------------------------------------------------------------------------

namespace {

// errno, its name, the sentence after a failed rmdir, the sentence after a failed unlink.
struct RemovalSentence {
    int number;
    char const* name;
    char const* afterRmdir;
    char const* afterUnlink;
};

RemovalSentence const ourRemovalSentences[] = {
    {EPERM, "EPERM",
     "The directory containing the directory to be removed is marked  sticky, and neither the containing directory nor the directory to  be removed are owned by the effective user ID.",
     "The named file is a directory and the effective user ID of the process is not the super-user. OR The directory containing the file is marked sticky, and neither the containing directory nor the file to be removed are owned by the effective user ID."},
    {ENOENT, "ENOENT",
     "The named directory does not exist.",
     "The named file does not exist."},
    {EIO, "EIO",
     "An I/O error occurs while deleting the directory entry or deallocating the inode.",
     "An I/O error occurs while deleting the directory entry or deallocating the inode."},
    {EACCES, "EACCES",
     "Search permission is denied for a component of the path prefix. OR Write permission is denied on the directory containing the link to be removed.",
     "Search permission is denied for a component of the path prefix, or Write permission is denied on the directory containing the link to be removed."},
    {EFAULT, "EFAULT",
     "Path points outside the process's allocated address space.",
     "Path points outside the processs allocated address space."},
    {EBUSY, "EBUSY",
     "The directory to be removed is the mount point for a mounted file system.",
     "The entry to be unlinked is the mount point for a mounted file system  OR The file named by the path argument cannot be unlinked because it is being used by the system or by another process."},
    {ENOTDIR, "ENOTDIR",
     "A component of the path is not a directory.",
     "A component of the path prefix is not a directory."},
    {EROFS, "EROFS",
     "The directory entry to be removed resides on a read-only file sys-  tem.",
     "The named file resides on a read-only file system."},
    {ELOOP, "ELOOP",
     "Too many symbolic links are encountered in translating  the pathname. This is taken to be indicative of a looping symbolic link.",
     " Too many symbolic links are encountered in translating the pathname.  This is taken to be indicative of a looping symbolic link."},
    {ENAMETOOLONG, "ENAMETOOLONG",
     "A component of a pathname (possibly expanded by a symbolic link);  exceeds {NAME_MAX} characters, or an entire path name exceeded  {PATH_MAX} characters.",
     " A component of a pathname exceeds {NAME_MAX} characters, or an entire path name exceeds {PATH_MAX} characters [possibly as a result of expanding a symlink.]"},
    {ENOTEMPTY, "ENOTEMPTY",
     "The named directory contains files other than `.' and `..' in it.",
     nullptr},
};

RemovalSentence const* findSentence(int number)
{
    for (RemovalSentence const& s : ourRemovalSentences)
        if (s.number == number)
            return &s;
    return nullptr;
}

[[noreturn]] void throwMiscError(int line)
{
    aError_aPath_MiscError err;
    err.myFile = Aa::filetail(__FILE__);
    err.myLine = line;
    err.myPlace = "aPath_MiscError";
    err.throw_();
    throw aError_aPath_MiscError(err);
}

[[noreturn]] void throwRemovalError(int number, char const* sentence, char const* name, char const* path, int line)
{
    if (!sentence)
        throwMiscError(line);
    aError_aPath_SystemError err(sentence);
    err.myErrno = number;
    err.myFile = Aa::filetail(__FILE__);
    err.myLine = line;
    err.myMessage += "\n\nSystem Error == ";
    err.myMessage += name;
    err.myMessage += "PATH: ";
    err.myMessage += path ? path : "";
    err.throw_();
    throw aError_aPath_SystemError(err);
}

// An entry found inside a tree being removed: tested without following links, so that a
// link whose target is gone goes too.
void deleteEntry(char const* entry)
{
    struct stat st;
    if (!statOf(entry, true, st))
        return;
    if (!S_ISLNK(st.st_mode)) {
        aPath::Delete(entry, true);
        return;
    }
    if (unlink(aPath::FilePart(entry)) != 0)
        aPath::ThrowUnlinkError(entry);
}

} // namespace

void aPath::ThrowUnlinkError(char const* path)
{
    int const number = errno;
    RemovalSentence const* s = findSentence(number);
    throwRemovalError(number, s ? s->afterUnlink : nullptr, s ? s->name : nullptr, path, __LINE__);
}

void aPath::ThrowRmdirError(char const* path)
{
    int const number = errno;
    RemovalSentence const* s = findSentence(number);
    throwRemovalError(number, s ? s->afterRmdir : nullptr, s ? s->name : nullptr, path, __LINE__);
}

void aPath::Delete(char const* path, bool recursive)
{
    if (!Exists(path, nullptr))
        return;
    char const* target = FilePart(path);
    if (IsFile(path, nullptr) || IsLink(path, nullptr)) {
        if (unlink(target) != 0)
            ThrowUnlinkError(path);
        return;
    }
    if (!IsDir(path, nullptr))
        throwMiscError(__LINE__); // a FIFO, a socket, a device
    if (!recursive) {
        if (rmdir(target) != 0)
            ThrowRmdirError(path);
        return;
    }
    try {
        std::list<rtl::str> entries;
        GetDirListing(path, entries, false); // a failed listing shows in the rmdir below
        for (rtl::str const& e : entries)
            deleteEntry(e.c());
        if (rmdir(target) != 0)
            ThrowRmdirError(path);
    } catch (aError_aPath_SystemError& e) {
        e.myMessage += "\n\nSystem problems recursively deleting the contents of ";
        e.myMessage += path;
        e.myMessage += "\n\n";
        throw aError_aPath_SystemError(e);
    } catch (aError_aPath_MiscError& e) {
        e.myMessage += "\n\nMisc problems recursively deleting the contents of ";
        e.myMessage += path;
        e.myMessage += "\n\n";
        throw aError_aPath_MiscError(e);
    }
}
