// An output stream that passes text on with every CR LF turned into LF:
// the program's messages end their lines with CR LF (as the dialogs show
// them), a terminal and the scripts reading stderr expect LF alone.
#pragma once

#include <ostream>
#include <streambuf>

namespace velmora::common {

class LineFeedOnlyBuffer : public std::streambuf {
public:
    explicit LineFeedOnlyBuffer(std::ostream& target) : target_(target) {}
    ~LineFeedOnlyBuffer() override { flushPendingCr(); }

protected:
    int_type overflow(int_type ch) override
    {
        if (traits_type::eq_int_type(ch, traits_type::eof())) {
            return traits_type::not_eof(ch);
        }
        const char c = traits_type::to_char_type(ch);
        if (pendingCr_ && c != '\n') {
            target_.put('\r');
        }
        pendingCr_ = c == '\r';
        if (!pendingCr_) {
            target_.put(c);
        }
        return target_ ? ch : traits_type::eof();
    }
    int sync() override
    {
        target_.flush();
        return target_ ? 0 : -1;
    }

private:
    void flushPendingCr()
    {
        if (pendingCr_) {
            target_.put('\r');
            pendingCr_ = false;
        }
    }

    std::ostream& target_;
    bool pendingCr_ = false;
};

// The stream to write to: owns its buffer.
class LineFeedOnlyStream : public std::ostream {
public:
    explicit LineFeedOnlyStream(std::ostream& target) : std::ostream(nullptr), buffer_(target)
    {
        rdbuf(&buffer_);
    }

private:
    LineFeedOnlyBuffer buffer_;
};

}  // namespace velmora::common
