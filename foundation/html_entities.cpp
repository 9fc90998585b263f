// The Latin-1 entity table of HTML 4, in code-point order from U+00A0.
#include "foundation/html_entities.h"

const std::array<std::string_view, 96> kLatin1EntityNames{
    "&nbsp;",   "&iexcl;",  "&cent;",   "&pound;",  "&curren;", "&yen;",    "&brvbar;", "&sect;",   "&uml;",
    "&copy;",   "&ordf;",   "&laquo;",  "&not;",    "&shy;",    "&reg;",    "&macr;",   "&deg;",    "&plusmn;",
    "&sup2;",   "&sup3;",   "&acute;",  "&micro;",  "&para;",   "&middot;", "&cedil;",  "&sup1;",   "&ordm;",
    "&raquo;",  "&frac14;", "&frac12;", "&frac34;", "&iquest;", "&Agrave;", "&Aacute;", "&Acirc;",  "&Atilde;",
    "&Auml;",   "&Aring;",  "&AElig;",  "&Ccedil;", "&Egrave;", "&Eacute;", "&Ecirc;",  "&Euml;",   "&Igrave;",
    "&Iacute;", "&Icirc;",  "&Iuml;",   "&ETH;",    "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",  "&Otilde;",
    "&Ouml;",   "&times;",  "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;",  "&Uuml;",   "&Yacute;", "&THORN;",
    "&szlig;",  "&agrave;", "&aacute;", "&acirc;",  "&atilde;", "&auml;",   "&aring;",  "&aelig;",  "&ccedil;",
    "&egrave;", "&eacute;", "&ecirc;",  "&euml;",   "&igrave;", "&iacute;", "&icirc;",  "&iuml;",   "&eth;",
    "&ntilde;", "&ograve;", "&oacute;", "&ocirc;",  "&otilde;", "&ouml;",   "&divide;", "&oslash;", "&ugrave;",
    "&uacute;", "&ucirc;",  "&uuml;",   "&yacute;", "&thorn;",  "&yuml;",
};
