#include "DnsMessage.h"

#include <algorithm>
#include <map>

namespace larkspan::dns {

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(), Lower);
    return lowered;
}

// The wire length of a name: a length byte and the bytes of each label,
// and the root's zero byte.
std::size_t WireLength(const Name& name)
{
    std::size_t length = 1;
    for (const std::string& label : name)
        length += 1 + label.size();
    return length;
}

bool Writable(const Name& name)
{
    return WireLength(name) <= maxNameLength &&
           std::ranges::all_of(name, [](const std::string& l) { return !l.empty() && l.size() <= maxLabelLength; });
}

class Writer {
public:
    std::vector<std::uint8_t> bytes;

    void U8(std::uint8_t value) { bytes.push_back(value); }
    void U16(std::uint16_t value)
    {
        U8(static_cast<std::uint8_t>(value >> 8));
        U8(static_cast<std::uint8_t>(value));
    }
    void U32(std::uint32_t value)
    {
        U16(static_cast<std::uint16_t>(value >> 16));
        U16(static_cast<std::uint16_t>(value));
    }
    void Raw(std::string_view text) { bytes.insert(bytes.end(), text.begin(), text.end()); }

    // Each suffix written is remembered; a suffix written before becomes
    // a pointer to it.
    bool WriteName(const Name& name)
    {
        if (!Writable(name))
            return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            const std::string key = SuffixKey(name, i);
            if (const auto known = suffixes_.find(key); known != suffixes_.end()) {
                U16(static_cast<std::uint16_t>(0xC000 | known->second));
                return true;
            }
            if (bytes.size() < 0x4000)
                suffixes_.emplace(key, static_cast<std::uint16_t>(bytes.size()));
            U8(static_cast<std::uint8_t>(name[i].size()));
            Raw(name[i]);
        }
        U8(0);
        return true;
    }

private:
    // Labels are joined with their lengths, so that dots inside labels
    // cannot make two names alike.
    static std::string SuffixKey(const Name& name, std::size_t from)
    {
        std::string key;
        for (std::size_t i = from; i < name.size(); ++i)
            key += static_cast<char>(name[i].size()) + Lowered(name[i]);
        return key;
    }

    std::map<std::string, std::uint16_t> suffixes_;
};

bool WriteRecord(Writer& out, const Record& record)
{
    if (!out.WriteName(record.name))
        return false;
    out.U16(record.type);
    out.U16(static_cast<std::uint16_t>(classIn | (record.cacheFlush ? 0x8000 : 0)));
    out.U32(record.ttl);
    const std::size_t lengthAt = out.bytes.size();
    out.U16(0);
    bool written = true;
    std::visit(
        [&](const auto& data) {
            using T = std::decay_t<decltype(data)>;
            if constexpr (std::is_same_v<T, Address>) {
                out.bytes.insert(out.bytes.end(), data.begin(), data.end());
            } else if constexpr (std::is_same_v<T, Ptr>) {
                written = out.WriteName(data.target);
            } else if constexpr (std::is_same_v<T, Srv>) {
                out.U16(data.priority);
                out.U16(data.weight);
                out.U16(data.port);
                written = out.WriteName(data.target);
            } else if constexpr (std::is_same_v<T, Txt>) {
                for (const std::string& text : data.strings) {
                    if (text.size() > 255) {
                        written = false;
                        return;
                    }
                    out.U8(static_cast<std::uint8_t>(text.size()));
                    out.Raw(text);
                }
            } else {
                out.bytes.insert(out.bytes.end(), data.bytes.begin(), data.bytes.end());
            }
        },
        record.data);
    const std::size_t length = out.bytes.size() - lengthAt - 2;
    if (!written || length > 0xFFFF)
        return false;
    out.bytes[lengthAt] = static_cast<std::uint8_t>(length >> 8);
    out.bytes[lengthAt + 1] = static_cast<std::uint8_t>(length);
    return true;
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> packet) : packet_(packet) {}

    std::size_t Position() const noexcept { return at_; }
    bool Has(std::size_t count) const noexcept { return packet_.size() - at_ >= count; }

    std::optional<std::uint8_t> U8()
    {
        if (!Has(1))
            return std::nullopt;
        return packet_[at_++];
    }
    std::optional<std::uint16_t> U16()
    {
        if (!Has(2))
            return std::nullopt;
        const auto value = static_cast<std::uint16_t>(packet_[at_] << 8 | packet_[at_ + 1]);
        at_ += 2;
        return value;
    }
    std::optional<std::uint32_t> U32()
    {
        const auto high = U16();
        const auto low = U16();
        if (!high || !low)
            return std::nullopt;
        return static_cast<std::uint32_t>(*high) << 16 | *low;
    }
    std::optional<std::span<const std::uint8_t>> Bytes(std::size_t count)
    {
        if (!Has(count))
            return std::nullopt;
        const auto bytes = packet_.subspan(at_, count);
        at_ += count;
        return bytes;
    }

    // A name at the current position. A pointer must point before itself;
    // with the length limit, that ends every chain of pointers and labels.
    std::optional<Name> ReadName()
    {
        Name name;
        std::size_t length = 1;
        std::size_t at = at_;
        std::optional<std::size_t> resumeAt;  // after the first pointer
        for (;;) {
            if (at >= packet_.size())
                return std::nullopt;
            const std::uint8_t head = packet_[at];
            if (head == 0) {
                at_ = resumeAt.value_or(at + 1);
                return name;
            }
            if ((head & 0xC0) == 0xC0) {
                if (at + 1 >= packet_.size())
                    return std::nullopt;
                const std::size_t target = static_cast<std::size_t>(head & 0x3F) << 8 | packet_[at + 1];
                if (target >= at)
                    return std::nullopt;
                if (!resumeAt)
                    resumeAt = at + 2;
                at = target;
                continue;
            }
            if ((head & 0xC0) != 0)
                return std::nullopt;  // the extended label types are not used
            length += 1 + head;
            if (length > maxNameLength || packet_.size() - at - 1 < head)
                return std::nullopt;
            name.emplace_back(reinterpret_cast<const char*>(packet_.data() + at + 1), head);
            at += 1 + head;
        }
    }

private:
    std::span<const std::uint8_t> packet_;
    std::size_t at_ = 0;
};

std::optional<Question> ReadQuestion(Reader& in)
{
    Question question;
    auto name = in.ReadName();
    const auto type = in.U16();
    const auto cls = in.U16();
    if (!name || !type || !cls)
        return std::nullopt;
    question.name = std::move(*name);
    question.type = *type;
    question.unicastResponse = (*cls & 0x8000) != 0;
    return question;
}

std::optional<RecordData> ReadData(Reader& in, std::uint16_t type, std::size_t length)
{
    const std::size_t end = in.Position() + length;
    const auto ends = [&] { return in.Position() == end; };
    switch (type) {
    case A: {
        const auto bytes = in.Bytes(length);
        if (!bytes || length != 4)
            return std::nullopt;
        Address address;
        std::ranges::copy(*bytes, address.begin());
        return address;
    }
    case PTR: {
        auto name = in.ReadName();
        if (!name || !ends())
            return std::nullopt;
        return Ptr{std::move(*name)};
    }
    case SRV: {
        Srv srv;
        const auto priority = in.U16(), weight = in.U16(), port = in.U16();
        auto target = in.ReadName();
        if (!priority || !weight || !port || !target || !ends())
            return std::nullopt;
        srv.priority = *priority;
        srv.weight = *weight;
        srv.port = *port;
        srv.target = std::move(*target);
        return srv;
    }
    case TXT: {
        Txt texts;
        while (in.Position() < end) {
            const auto size = in.U8();
            if (!size || in.Position() + *size > end)
                return std::nullopt;
            const auto text = in.Bytes(*size);
            if (!text)
                return std::nullopt;
            texts.strings.emplace_back(reinterpret_cast<const char*>(text->data()), text->size());
        }
        return texts;
    }
    default: {
        const auto bytes = in.Bytes(length);
        if (!bytes)
            return std::nullopt;
        return Other{{bytes->begin(), bytes->end()}};
    }
    }
}

std::optional<Record> ReadRecord(Reader& in)
{
    Record record;
    auto name = in.ReadName();
    const auto type = in.U16(), cls = in.U16();
    const auto ttl = in.U32();
    const auto length = in.U16();
    if (!name || !type || !cls || !ttl || !length || !in.Has(*length))
        return std::nullopt;
    auto data = ReadData(in, *type, *length);
    if (!data)
        return std::nullopt;
    record.name = std::move(*name);
    record.type = *type;
    record.cacheFlush = (*cls & 0x8000) != 0;
    record.ttl = *ttl;
    record.data = std::move(*data);
    return record;
}

bool ReadRecords(Reader& in, std::uint16_t count, std::vector<Record>& records)
{
    for (std::uint16_t i = 0; i < count; ++i) {
        auto record = ReadRecord(in);
        if (!record)
            return false;
        records.push_back(std::move(*record));
    }
    return true;
}

}  // namespace

bool SameName(const Name& a, const Name& b)
{
    return std::ranges::equal(a, b, [](const std::string& x, const std::string& y) {
        return std::ranges::equal(x, y, [](char p, char q) { return Lower(p) == Lower(q); });
    });
}

std::string NameText(const Name& name)
{
    std::string text;
    for (const std::string& label : name)
        text += (text.empty() ? "" : ".") + label;
    return text;
}

std::optional<Name> ParseName(std::string_view text)
{
    Name name;
    while (!text.empty()) {
        const std::size_t dot = text.find('.');
        name.emplace_back(text.substr(0, dot));
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    if (name.empty() || !Writable(name))
        return std::nullopt;
    return name;
}

std::optional<std::vector<std::uint8_t>> Encode(const Message& message)
{
    const std::size_t records = message.answers.size() + message.authorities.size() + message.additionals.size();
    if (message.questions.size() > 0xFFFF || records > 0xFFFF)
        return std::nullopt;
    Writer out;
    out.U16(message.id);
    out.U16(message.flags);
    out.U16(static_cast<std::uint16_t>(message.questions.size()));
    for (const auto* section : {&message.answers, &message.authorities, &message.additionals})
        out.U16(static_cast<std::uint16_t>(section->size()));
    for (const Question& question : message.questions) {
        if (!out.WriteName(question.name))
            return std::nullopt;
        out.U16(question.type);
        out.U16(static_cast<std::uint16_t>(classIn | (question.unicastResponse ? 0x8000 : 0)));
    }
    for (const auto* section : {&message.answers, &message.authorities, &message.additionals})
        for (const Record& record : *section)
            if (!WriteRecord(out, record))
                return std::nullopt;
    if (out.bytes.size() > maxMessageSize)
        return std::nullopt;
    return std::move(out.bytes);
}

std::optional<Message> Decode(std::span<const std::uint8_t> packet)
{
    if (packet.size() > maxMessageSize)
        return std::nullopt;
    Reader in(packet);
    Message message;
    const auto id = in.U16(), flags = in.U16();
    const auto questions = in.U16(), answers = in.U16(), authorities = in.U16(), additionals = in.U16();
    if (!id || !flags || !questions || !answers || !authorities || !additionals)
        return std::nullopt;
    message.id = *id;
    message.flags = *flags;
    // Each question takes at least 5 bytes, each record 11: counts that the
    // packet cannot hold are refused before anything is reserved.
    const std::size_t least = 12 + 5u * *questions + 11u * (*answers + *authorities + *additionals);
    if (least > packet.size())
        return std::nullopt;
    for (std::uint16_t i = 0; i < *questions; ++i) {
        auto question = ReadQuestion(in);
        if (!question)
            return std::nullopt;
        message.questions.push_back(std::move(*question));
    }
    if (!ReadRecords(in, *answers, message.answers) || !ReadRecords(in, *authorities, message.authorities) ||
        !ReadRecords(in, *additionals, message.additionals))
        return std::nullopt;
    return message;
}

}  // namespace larkspan::dns
