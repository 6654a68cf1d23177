#include "tilelib/tilelib.h"

#include <cstring>

TTilelib::TTilelib()
{
    std::memset(static_cast<TTilelibData*>(this), 0, sizeof(TTilelibData));
}
