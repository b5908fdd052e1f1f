#include "ServiceDiscovery.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace larkspan::discovery {

namespace {

dns::Name ServicesName()
{
    return {"_services", "_dns-sd", "_udp", "local"};
}

// The bytes of the well-formed UTF-8 character that begins `text` and its
// code point; nothing for a stray, overlong, surrogate or cut sequence.
std::optional<std::pair<std::size_t, char32_t>> Utf8Character(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF                 ? 3
                             : lead >= 0xF0 && lead <= 0xF4                 ? 4
                                                                            : 0;
    if (length == 0 || length > text.size())
        return std::nullopt;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return std::nullopt;
        point = point << 6 | (byte(i) & 0x3F);
    }
    constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < least[length] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000))
        return std::nullopt;
    return std::pair{length, point};
}

// `text` cut to at most `limit` bytes, never inside a UTF-8 character; it
// ends where the text stops being well-formed.
std::string CutUtf8(std::string text, std::size_t limit)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const auto character = Utf8Character(std::string_view(text).substr(end));
        if (!character || end + character->first > limit)
            break;
        end += character->first;
    }
    text.resize(end);
    return text;
}

// Characters that would make a name on a line of the address book other
// than it looks: controls (C0, DEL, C1), the book's own brackets, and the
// invisible format and direction characters and line separators.
bool UnsafeInName(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == '<' || c == '>' || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF;
}

std::string WithNumber(const std::string& base, const std::string& suffix)
{
    return CutUtf8(base, dns::maxLabelLength - suffix.size()) + suffix;
}

// The number a label ends in as "(n)" or "-n", and the part before it.
int TrailingNumber(const std::string& label, char open, char close, std::string& base)
{
    std::size_t end = label.size();
    if (close) {
        if (end == 0 || label[end - 1] != close)
            return 1;
        --end;
    }
    std::size_t digits = end;
    while (digits > 0 && label[digits - 1] >= '0' && label[digits - 1] <= '9')
        --digits;
    if (digits == end || end - digits > 6 || digits == 0 || label[digits - 1] != open)
        return 1;
    std::string before = label.substr(0, digits - 1);
    if (close && !before.empty() && before.back() == ' ')
        before.pop_back();
    if (before.empty())
        return 1;  // "(9)" is a name, not a number
    base = std::move(before);
    return std::stoi(label.substr(digits, end - digits));
}

bool SameRecord(const dns::Record& a, const dns::Record& b)
{
    return a.type == b.type && dns::SameName(a.name, b.name) && a.data == b.data;
}

// A record's data as on the wire, uncompressed: written under the root
// name, where no name can point into another.
std::vector<std::uint8_t> RecordData(const dns::Record& record)
{
    const dns::Record alone{{}, record.type, false, 0, record.data};
    std::vector<std::uint8_t> bytes = dns::Encode({0, 0, {}, {alone}, {}, {}}).value_or(std::vector<std::uint8_t>{});
    constexpr std::size_t before = 12 + 1 + 10;  // header, root name, type, class, lifetime, length
    return bytes.size() > before ? std::vector<std::uint8_t>(bytes.begin() + before, bytes.end())
                                 : std::vector<std::uint8_t>{};
}

void AddOnce(std::vector<dns::Record>& to, const dns::Record& record, const std::vector<dns::Record>& already)
{
    const auto same = [&](const dns::Record& r) { return SameRecord(r, record); };
    if (std::ranges::none_of(to, same) && std::ranges::none_of(already, same))
        to.push_back(record);
}

}  // namespace

dns::Name ServiceType()
{
    return {"_tessaly", "_tcp", "local"};
}

dns::Name Identity::InstanceName() const
{
    return {instance, "_tessaly", "_tcp", "local"};
}

dns::Name Identity::HostName() const
{
    return {host, "local"};
}

std::string InstanceLabel(std::string_view computerName)
{
    // Unsafe characters are dropped; bytes that are no UTF-8 end the label.
    std::string label;
    for (std::size_t at = 0; at < computerName.size();) {
        const auto character = Utf8Character(computerName.substr(at));
        if (!character)
            break;
        const auto [length, point] = *character;
        if (!UnsafeInName(point)) {
            if (label.size() + length > dns::maxLabelLength)
                break;
            label.append(computerName.substr(at, length));
        }
        at += length;
    }
    return label;
}

std::string HostLabel(std::string_view computerName)
{
    std::string label;
    for (const char c : computerName) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')
            label += c;
        else if (c >= 'A' && c <= 'Z')
            label += static_cast<char>(c - 'A' + 'a');
    }
    while (!label.empty() && label.front() == '-')
        label.erase(label.begin());
    label.resize(std::min(label.size(), dns::maxLabelLength - 7));  // room for "-999999"
    return label.empty() ? "tessaly" : label;
}

std::string NextInstanceLabel(const std::string& label)
{
    std::string base = label;
    const int n = TrailingNumber(label, '(', ')', base);
    std::string suffix = " (";  // appended to: GCC 12 warns of a false overlap in "literal" + string
    suffix += std::to_string(n + 1);
    suffix += ')';
    return WithNumber(base, suffix);
}

std::string NextHostLabel(const std::string& label)
{
    std::string base = label;
    const int n = TrailingNumber(label, '-', 0, base);
    std::string suffix = "-";
    suffix += std::to_string(n + 1);
    return WithNumber(base, suffix);
}

std::vector<dns::Record> Records(const Identity& identity, bool goodbye)
{
    const auto ttl = [&](std::uint32_t value) { return goodbye ? 0u : value; };
    const dns::Name instance = identity.InstanceName();
    std::vector<dns::Record> records{
        {ServiceType(), dns::PTR, false, ttl(otherTtl), dns::Ptr{instance}},
        {instance, dns::SRV, true, ttl(hostTtl), dns::Srv{0, 0, portalPort, identity.HostName()}},
        {instance, dns::TXT, true, ttl(otherTtl), dns::Txt{{"v=1"}}},
        {ServicesName(), dns::PTR, false, ttl(otherTtl), dns::Ptr{ServiceType()}},
    };
    for (const dns::Address& address : identity.addresses)
        records.push_back({identity.HostName(), dns::A, true, ttl(hostTtl), address});
    return records;
}

dns::Message Announcement(const Identity& identity, bool goodbye)
{
    dns::Message message;
    message.flags = dns::responseFlags;
    message.answers = Records(identity, goodbye);
    return message;
}

dns::Message Probe(const Identity& identity)
{
    dns::Message message;
    message.questions.push_back({identity.InstanceName(), dns::ANY, true});
    message.questions.push_back({identity.HostName(), dns::ANY, true});
    for (const dns::Record& record : Records(identity))
        if (record.cacheFlush) {
            dns::Record proposed = record;
            proposed.cacheFlush = false;
            message.authorities.push_back(std::move(proposed));
        }
    return message;
}

Conflicts FindConflicts(const dns::Message& message, const Identity& identity, bool probing)
{
    Conflicts found;
    const std::vector<dns::Record> ours = Records(identity);
    // Only records of a type we publish under that name count: the
    // platform's own responder may publish other types (AAAA) for the host.
    const auto check = [&](const dns::Record& record, bool claim) {
        const bool instance = dns::SameName(record.name, identity.InstanceName());
        const bool host = dns::SameName(record.name, identity.HostName());
        if (!instance && !host)
            return;
        bool published = false;
        std::optional<dns::Record> mine;
        for (const dns::Record& r : ours)
            if (r.type == record.type && dns::SameName(r.name, record.name)) {
                published = true;
                if (r.data == record.data)
                    return;  // ours, come back through the multicast loop
                mine = r;
            }
        if (!published)
            return;
        // Two machines probing for the same name at once: the later data,
        // compared uncompressed byte by byte, wins, and the other moves on.
        if (claim && !(RecordData(*mine) < RecordData(record)))
            return;
        (instance ? found.instance : found.host) = true;
    };
    if (message.IsResponse()) {
        for (const auto* section : {&message.answers, &message.additionals})
            for (const dns::Record& record : *section)
                check(record, false);
    } else if (probing) {
        // Once the names are ours, another's probe for them is answered
        // (which defends them), not given way to.
        for (const dns::Record& record : message.authorities)
            check(record, true);
    }
    return found;
}

std::optional<dns::Message> Answer(const dns::Message& query, const Identity& identity)
{
    if (query.IsResponse())
        return std::nullopt;
    const std::vector<dns::Record> ours = Records(identity);
    const auto recordsOf = [&](const dns::Name& name, std::uint16_t type) {
        std::vector<dns::Record> matching;
        for (const dns::Record& record : ours)
            if (dns::SameName(record.name, name) && (type == dns::ANY || type == record.type))
                matching.push_back(record);
        return matching;
    };
    // Known answers: the querier holds these already with at least half
    // their lifetime left.
    const auto known = [&](const dns::Record& record) {
        return std::ranges::any_of(
            query.answers, [&](const dns::Record& k) { return SameRecord(k, record) && k.ttl >= record.ttl / 2; });
    };
    dns::Message response;
    response.flags = dns::responseFlags;
    for (const dns::Question& question : query.questions)
        for (const dns::Record& record : recordsOf(question.name, question.type))
            if (!known(record))
                AddOnce(response.answers, record, {});
    if (response.answers.empty())
        return std::nullopt;
    // What a browser needs next: the SRV and TXT of an instance, the
    // addresses of its host.
    std::vector<dns::Record> additionals;
    for (const dns::Record& answer : response.answers) {
        if (answer.type == dns::PTR && dns::SameName(answer.name, ServiceType()))
            for (const dns::Record& r : recordsOf(identity.InstanceName(), dns::ANY))
                AddOnce(additionals, r, response.answers);
        if (answer.type == dns::PTR || answer.type == dns::SRV)
            for (const dns::Record& r : recordsOf(identity.HostName(), dns::A))
                AddOnce(additionals, r, response.answers);
    }
    response.additionals = std::move(additionals);
    return response;
}

dns::Message BrowseQuery(const std::vector<dns::Name>& knownInstances)
{
    dns::Message query;
    query.questions.push_back({ServiceType(), dns::PTR, false});
    // Each known answer takes at most 12 + 255 bytes; 24 of them stay well
    // within the packet size.
    constexpr std::size_t mostKnown = 24;
    for (const dns::Name& instance : knownInstances) {
        if (query.answers.size() == mostKnown)
            break;
        query.answers.push_back({ServiceType(), dns::PTR, false, otherTtl, dns::Ptr{instance}});
    }
    return query;
}

Browse::Instance* Browse::InstanceNamed(const dns::Name& name)
{
    const auto it = std::ranges::find_if(instances_, [&](const Instance& i) { return dns::SameName(i.name, name); });
    if (it != instances_.end())
        return &*it;
    if (instances_.size() == maxInstances)
        return nullptr;
    return &instances_.emplace_back(Instance{name, {}, 0, false});
}

void Browse::Take(const dns::Message& response)
{
    if (!response.IsResponse())
        return;
    const dns::Name type = ServiceType();
    const auto isInstance = [&](const dns::Name& name) {
        return name.size() == type.size() + 1 && dns::SameName(dns::Name(name.begin() + 1, name.end()), type) &&
               !dns::SameName(name, own_);
    };
    for (const auto* section : {&response.answers, &response.additionals})
        for (const dns::Record& record : *section) {
            if (const auto* ptr = std::get_if<dns::Ptr>(&record.data);
                ptr && record.type == dns::PTR && dns::SameName(record.name, type) && isInstance(ptr->target)) {
                if (Instance* instance = InstanceNamed(ptr->target))
                    instance->gone = record.ttl == 0;
            } else if (const auto* srv = std::get_if<dns::Srv>(&record.data);
                       srv && record.type == dns::SRV && isInstance(record.name)) {
                if (Instance* instance = InstanceNamed(record.name)) {
                    instance->host = srv->target;
                    instance->port = srv->port;
                    instance->gone = record.ttl == 0;
                }
            } else if (const auto* address = std::get_if<dns::Address>(&record.data);
                       address && record.type == dns::A) {
                const auto known =
                    std::ranges::find_if(hosts_, [&](const Host& h) { return dns::SameName(h.name, record.name); });
                if (record.ttl == 0) {
                    // A goodbye for the address known: the host is no longer there.
                    if (known != hosts_.end() && known->address == *address)
                        hosts_.erase(known);
                } else if (known == hosts_.end()) {
                    if (hosts_.size() < maxInstances)
                        hosts_.push_back({record.name, *address});
                } else if (record.cacheFlush) {
                    // The host's records as they are now: an address it
                    // had before (a lease since renewed elsewhere) goes.
                    known->address = *address;
                }
            }
        }
}

std::vector<Found> Browse::Results() const
{
    std::vector<Found> found;
    for (const Instance& instance : instances_) {
        if (instance.gone || instance.host.empty())
            continue;
        const auto host =
            std::ranges::find_if(hosts_, [&](const Host& h) { return dns::SameName(h.name, instance.host); });
        if (host == hosts_.end())
            continue;
        const dns::Address& a = host->address;
        found.push_back({instance.name.front(),
                         std::to_string(a[0]) + '.' + std::to_string(a[1]) + '.' + std::to_string(a[2]) + '.' +
                             std::to_string(a[3]),
                         instance.port});
    }
    return found;
}

std::vector<dns::Name> Browse::Instances() const
{
    std::vector<dns::Name> names;
    for (const Instance& instance : instances_)
        if (!instance.gone)
            names.push_back(instance.name);
    return names;
}

}  // namespace larkspan::discovery
