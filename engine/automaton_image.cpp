#include "engine/automaton_image.h"

#include <unordered_map>
#include <vector>

#include "engine/pattern_line.h"

namespace {

// The first number of a block: read back as another number, the block was
// made on a machine that orders the bytes of a number otherwise.
constexpr std::uint32_t ORDER_MARK = 0x7A61726Eu;

constexpr std::size_t HEADER_NUMBERS = 3 + 256;

void put_number(std::string* out, std::uint32_t value)
{
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out->append(bytes, sizeof value);
}

// The bytes of the outputs hold digits, each output ends with a NUL within
// them, and none is longer than a pattern line can make it. The longest is
// put in *longest.
bool read_outputs(const char* digits, std::size_t size, std::size_t* longest)
{
    if (size != 0 && digits[size - 1] != '\0') return false;
    std::size_t length = 0;
    *longest = 0;
    for (std::size_t k = 0; k < size; ++k) {
        if (digits[k] == '\0') {
            length = 0;
        } else if (digits[k] < '0' || digits[k] > '9' || ++length > PATTERN_LINE_MAX) {
            return false;
        } else if (length > *longest) {
            *longest = length;
        }
    }
    return true;
}

}  // namespace

std::string automaton_image(const PatternAutomaton* automaton)
{
    // The states breadth first: order[k] is the state numbered k, and the
    // children of a state are numbered as they are met, together.
    const std::size_t count = static_cast<std::size_t>(automaton->count);
    std::vector<std::int32_t> order;
    order.reserve(count);
    order.push_back(0);
    std::vector<std::uint32_t> first_child(count + 1);
    std::string letters(1, '\0');
    letters.reserve(count);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const AutomatonState& state = automaton->states[order[k]];
        first_child[k] = static_cast<std::uint32_t>(order.size());
        for (std::int32_t t = 0; t < state.transition_count; ++t) {
            order.push_back(state.transitions[t].target);
            letters.push_back(static_cast<char>(state.transitions[t].letter));
        }
    }
    // Every state is reached from the root, once.
    const std::size_t reached = order.size();
    first_child[reached] = static_cast<std::uint32_t>(reached);

    std::string digits;
    std::vector<std::uint32_t> output(reached, 0);
    std::unordered_map<std::string, std::uint32_t> placed;
    for (std::size_t k = 0; k < reached; ++k) {
        const char* own = automaton->states[order[k]].output;
        if (own == nullptr) continue;
        const auto known = placed.emplace(own, static_cast<std::uint32_t>(digits.size()) + 1);
        output[k] = known.first->second;
        if (!known.second) continue;
        digits += own;
        digits.push_back('\0');
    }

    std::string out;
    out.reserve(4 * HEADER_NUMBERS + 9 * reached + 4 + digits.size());
    put_number(&out, ORDER_MARK);
    put_number(&out, static_cast<std::uint32_t>(reached));
    put_number(&out, static_cast<std::uint32_t>(digits.size()));
    for (const std::uint32_t on : automaton->transitions_on) put_number(&out, on);
    for (std::size_t k = 0; k <= reached; ++k) put_number(&out, first_child[k]);
    for (std::size_t k = 0; k < reached; ++k) put_number(&out, output[k]);
    out += digits;
    out += letters;
    return out;
}

bool automaton_image_read(AutomatonImage* image, const unsigned char* bytes, std::size_t size)
{
    if (size < 4 * HEADER_NUMBERS || image_number(bytes, 0) != ORDER_MARK) return false;
    const std::uint64_t count = image_number(bytes, 1);
    const std::uint64_t digits_size = image_number(bytes, 2);
    if (count == 0 || count > INT32_MAX ||
        size != 4 * HEADER_NUMBERS + 4 * (count + 1) + 4 * count + digits_size + count) {
        return false;
    }
    const unsigned char* first_child = bytes + 4 * HEADER_NUMBERS;
    const unsigned char* output = first_child + 4 * (count + 1);
    const char* digits = reinterpret_cast<const char*>(output + 4 * count);
    std::size_t longest = 0;
    if (!read_outputs(digits, static_cast<std::size_t>(digits_size), &longest)) return false;
    // The children of each state follow it and those of the states before
    // it, and together they are every state but the root, once: every move
    // stays within the automaton and leads further from the root.
    bool whole = image_number(first_child, 0) == 1 && image_number(first_child, count) == count;
    for (std::size_t s = 0; s < count; ++s) {
        const std::uint32_t first = image_number(first_child, s);
        whole &= first > s && first <= image_number(first_child, s + 1);
        whole &= image_number(output, s) <= digits_size;
    }
    if (!whole) return false;
    image->count = static_cast<std::int32_t>(count);
    image->longest_output = longest;
    for (std::size_t b = 0; b < 256; ++b) image->transitions_on[b] = image_number(bytes, 3 + b);
    image->first_child = first_child;
    image->output = output;
    image->digits = digits;
    image->letter = reinterpret_cast<const unsigned char*>(digits + digits_size);
    return true;
}
