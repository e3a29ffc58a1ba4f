#pragma once

#include "IoResult.h"
#include "JoinCodes.h"
#include "PixelRules.h"

#include <QCoreApplication>
#include <QString>

// Runs a picture filter from one PNG file into another band by band: the
// rows are decoded, filtered and handed to the band encoder, which
// compresses them on the other cores while the next rows are decoded. No
// picture is held whole; the output is replaced only once it is complete.
class FilterRowStream
{
    Q_DECLARE_TR_FUNCTIONS(FilterRowStream)

public:
    // true when done; false when input is not a PNG file read row by row
    // (the caller takes the whole-picture path, which also explains a file
    // that is no picture at all).
    static IoResult<bool> run(const QString& input, const QString& output, FilterCode code,
                              const PixelRules::FilterSettings& settings);
};
