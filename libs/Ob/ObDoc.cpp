#include "ObDoc.h"

#include "aPath.h"

bool ObDoc::load(char const*)
{
    return false;
}

bool ObDoc::save(char const*)
{
    return false;
}

bool ObDoc::canSaveTest() const
{
    rtl::str const path = getPath();
    if (!path)
        return false;
    // The file need not exist yet; its folder must.
    rtl::str const folder = path.head('/');
    if (!folder)
        return false;
    return aPath::IsDir(folder.cs(), nullptr);
}
