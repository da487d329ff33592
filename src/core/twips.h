// Window geometry is designed in twips, 1/1440 inch. At 96 dots per inch a pixel is 15 twips;
// every window converts its design geometry with this one function, to the nearest pixel, and
// Qt's own high-dpi scaling does the rest.
#pragma once

namespace orvane {

constexpr int tw(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((7 - twips) / 15);
}

} // namespace orvane
