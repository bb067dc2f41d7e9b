#pragma once

#include "aString.h"

#include <ctime>
#include <list>

template <class T> class aList;
namespace rtl {
class str;
}

// A text that names a file or a directory, with the operations on its components and on the
// file system. '/' is the only separator and nothing normalises the text: repeated
// separators, "." and ".." stay as written. The empty path has no text.
//
// The split at the last '/' is cached (myTail points into the text, myHead is an owned copy
// of what precedes it) and dropped by every change of the text.
class aPath : public aString
{
public:
    aPath();
    aPath(char const* text);
    aPath(char const* dir, char const* name);
    aPath(aString const& other);
    explicit aPath(aString const* other);
    aPath(aPath const& other);
    explicit aPath(aPath const* other);
    ~aPath() override;

    aPath& operator+=(int value) override;
    aPath& operator+=(double value) override;
    aPath& operator+=(char const* text) override;
    aPath& operator+=(aString const& other) override;
    aPath& operator+=(aString const* other) override;
    aPath& operator=(int value) override;
    aPath& operator=(double value) override;
    aPath& operator=(char const* text) override;
    aPath& operator=(aString const* other) override;
    aPath& operator=(aString const& other) override;
    // Text changes inherited from the buffer, made to drop the cache as well.
    int ReplaceChar(char from, char to) override;
    int ReplaceChar(char from, char const* to) override;
    int Replace(char const* pattern, char const* replacement, bool ignoreCase) override;
    int MakeLowerCase() override;
    int MakeUpperCase() override;
    void Reverse() override;
    // Backslash before each of: blank | > < & ? * ( ) [ {
    // For display and logs only: this is no safe quoting for a shell command.
    void Shellify() override;

    virtual void Clear();
    virtual void Debug();
    virtual aPath& operator=(float value);
    virtual aPath& operator=(aPath const* other);
    virtual aPath& operator=(aPath const& other);
    virtual bool operator!=(aPath const& other) const;
    virtual bool operator!=(aPath const* other) const;
    virtual bool operator==(aPath const& other) const;
    virtual bool operator==(aPath const* other) const;
    virtual aPath& operator+=(float value);
    virtual aPath& operator+=(aPath const* other);
    virtual aPath& operator+=(aPath const& other);
    // Replaces the last component.
    virtual aPath& operator*=(char const* name);
    virtual aPath& operator*=(aString const* name);
    virtual aPath& operator*=(aString const& name);
    virtual aPath& operator*=(aPath const* name);
    virtual aPath& operator*=(aPath const& name);
    // Joins a component with one '/'.
    virtual aPath& operator/=(char const* name);
    virtual aPath& operator/=(aString const* name);
    virtual aPath& operator/=(aString const& name);
    virtual aPath& operator/=(aPath const* name);
    virtual aPath& operator/=(aPath const& name);
    virtual aPath& operator--();
    virtual aPath operator--(int);
    virtual char const* GetTail() const;
    virtual char const* GetHead() const;
    virtual char const* GetDir() const;
    virtual char const* GetPath() const;
    virtual void GetFirst(aPath& out) const;
    virtual char const* GetRest() const;
    virtual void GetBase(aString& out) const;
    virtual char const* GetSuffix() const;
    virtual bool Resolve();
    virtual int GetTimestampLastAccessed();
    virtual int GetTimestampLastModified();
    virtual int GetTimestampLastChanged();
    virtual int CreateAsDir() const;
    virtual int ModifiedSinceTimestamp();
    virtual time_t Timestamp();
    virtual void CreateHeadAndTail() const;

    using aString::operator==;
    using aString::operator!=;

    // Buffer setters that change the text, made to drop the cache as well.
    void SetString(char const* text);
    void SetStringExplicit(char* buffer);
    void Append(char const* text);
    void Append(int value);
    void Append(long value);
    void Append(float value);
    void Append(double value);
    void Prepend(char const* text);
    void Strip(char const* set, bool left, bool right);
    bool CropToLength(int n);
    bool LCropToLength(int n);

    void SetPath(char const* text);
    void SetPath(char const* dir, char const* name);
    void AppendTail(char const* tail);
    void RemoveTail();
    // Removes the last c anywhere in the text and all behind it.
    void RemoveSuffix(char c);
    static bool SuffixIs(char const* text, char const* suffix);
    // The text behind a leading "file://localhost", else the text itself.
    static char const* FilePart(char const* text);

    // ---- the file system --------------------------------------------------------------------
    // Static tests: true when the test holds; *error (when given) tells whether the status
    // call failed. Member tests: 1 holds, 0 does not, -1 the status call failed.
    static bool Exists(char const* text, bool* error);
    static bool IsDir(char const* text, bool* error);
    static bool IsFile(char const* text, bool* error);
    static bool IsLink(char const* text, bool* error);
    int Exists() const;
    int IsDir() const;
    int IsFile() const;
    int IsLink() const;

    static bool GetFileSize(char const* text, int& size);
    static bool GetFileSize(char const* text, long& size);

    // Listings put "dir/name" for every entry but "." and ".." in front of what out holds,
    // in byte order of the names when sorted. False when dir is no readable directory.
    static bool GetDirListing(char const* dir, aList<char*>& out, bool sorted);
    static bool GetDirListing(char const* dir, aList<aPath*>& out, bool sorted);
    static bool GetDirListing(char const* dir, std::list<rtl::str>& out, bool sorted);
    static bool GetDirListingOfPrefixed(char const* dir, char const* prefix, aList<aPath*>& out, bool sorted);
    // Traces the listing of the directory levels above dir.
    static void PrintDirListing(char const* dir, bool sorted, int levels);

    // 0 when text is (or becomes, parents first) a directory, -1 otherwise.
    static int CreateAsDir(char const* text);
    static bool EnsureAsDir(char const* text);
    static int CreateAsFile(char const* text);
    static int CreateAsSoftLink(char const* target, char const* link);

    // Expands "~/", "$VAR/..", "." and relative texts; false (out unchanged) otherwise.
    static bool Resolve(char const* text, aPath& out);
    // The real user's home directory, else $HOME; false (unchanged) when neither is known.
    bool SetToHomeDir();
    // False (out empty) when the current directory cannot be read.
    static bool GetCwd(aPath& out);

    // Removes a file, a link or a directory (with recursive, the tree below it too); a
    // missing path is no error. Failures throw aError_aPath_SystemError or
    // aError_aPath_MiscError.
    static void Delete(char const* path, bool recursive);
    [[noreturn]] static void ThrowUnlinkError(char const* path);
    [[noreturn]] static void ThrowRmdirError(char const* path);

private:
    void DropCache() const;
    bool CacheValid() const;

    time_t myTimestamp;
    mutable char* myTail;
    mutable char* myHead;
    // The buffer the cache was computed for (see CacheValid).
    mutable char const* myCacheMem;
};
