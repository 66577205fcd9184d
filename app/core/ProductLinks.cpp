#include "app/core/ProductLinks.h"

#include "app/core/ErrorReport.h"

std::string QueryValue(const std::string& Text)
{
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = Text.find(' ', start);
        out += PercentEncode(Text.substr(start, blank == std::string::npos ? std::string::npos : blank - start));
        if (blank == std::string::npos)
            return out;
        out += '+';
        start = blank + 1;
    }
}

std::string FirstShareUrl()
{
    return std::string(product::FirstShareHost) + "/sharer.php?u=" + QueryValue(product::HomePage);
}

std::string SecondShareUrl()
{
    return std::string(product::SecondShareHost) + "/share?original_referer=" + QueryValue(product::HomePage) +
           "&text=" + QueryValue(product::Name);
}

std::string CopyrightNotice(int Year)
{
    return "Copyright (C) the " + std::string(product::Name) + " developers, " + std::to_string(Year) + ".";
}
