#include "engine/decode_stream.h"

#include <algorithm>
#include <vector>

#include "engine/stream_decoder.h"

namespace vantrel::engine {

namespace {

// Turns byte counts into the percentages a byte-at-a-time decoder would have
// reported: after byte number c (counting from 1) it reports (c - 1) * 100 / size.
class ProgressReporter {
public:
    ProgressReporter(std::int64_t size, const ProgressCallback& callback)
        : size_(size), callback_(callback)
    {
    }

    // The report that followed the last of `processed` bytes. False asks to stop.
    bool AfterBytes(std::uint64_t processed) const
    {
        if (processed == 0)
            return true;
        return Report(processed - 1);
    }

    // The report at the end of the source.
    void AtEnd(std::uint64_t processed) const { Report(processed); }

private:
    bool Report(std::uint64_t count) const
    {
        if (size_ <= 0 || !callback_)
            return true;
        return callback_(static_cast<double>(count) * 100.0 / static_cast<double>(size_));
    }

    std::int64_t size_;
    const ProgressCallback& callback_;
};

} // namespace

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables)
{
    return DecodeStream(source, size, sink, keyCheck, progress, tables, DefaultChunkSize);
}

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables,
                           std::size_t chunkSize)
{
    // A source that cannot go back to its first byte would decode only its tail.
    if (!source.Rewind())
        return StreamVerdict::ReadFailed;

    StreamDecoder decoder(tables, keyCheck);
    const ProgressReporter reporter(size, progress);
    std::vector<std::uint8_t> input(std::max<std::size_t>(chunkSize, 1));
    std::vector<std::uint8_t> output(input.size());
    std::uint64_t processed = 0;

    for (;;) {
        const std::size_t read = std::min(source.Read(input), input.size());
        if (read == 0) {
            // Running out of bytes because of an error is not the end of the file.
            if (source.Failed())
                return StreamVerdict::ReadFailed;
            reporter.AtEnd(processed);
            return StreamVerdict::Accepted;
        }

        const std::size_t decoded = decoder.Decode({input.data(), read}, output.data());
        if (decoded > 0 && !sink.Write({output.data(), decoded}))
            return StreamVerdict::WriteFailed;
        processed += decoded;

        if (decoder.KeyRejected()) {
            if (decoded > 0)
                reporter.AfterBytes(processed);
            return StreamVerdict::Rejected;
        }
        if (!reporter.AfterBytes(processed))
            return StreamVerdict::Stopped;
    }
}

} // namespace vantrel::engine
