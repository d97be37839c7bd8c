#pragma once

#include <string>
#include <vector>

namespace pellumar::testing {

// Site names that are Windows device names: every base name, with and without an extension,
// trailing spaces or dots, in any case and in a folder of the name. The naming rule refuses each
// natively, and the real program refuses each through its window.
inline const std::vector<std::u16string> kReservedSiteNames = {
    u"con",       u"CON",       u"NUL.txt",   u"com1",      u"Com9.a.b",  u"COM0",
    u"lpt0",      u"LPT9",      u"prn",       u"aux  ",     u"con .txt",  u"con.",
    u"com\u00B9", u"COM\u00B2", u"com\u00B3", u"lpt\u00B9", u"LPT\u00B2", u"LPT\u00B3.x",
    u"conin$",    u"CONOUT$",   u"news\\prn", u"nul\\news", u"com2",      u"COM3.txt",
    u"com4 ",     u"Com5",      u"com6.a",    u"COM7",      u"com8",      u"lpt1",
    u"LPT2.txt",  u"lpt3 ",     u"Lpt4",      u"lpt5.a",    u"LPT6",      u"lpt7",
    u"lpt8",
};

}  // namespace pellumar::testing
