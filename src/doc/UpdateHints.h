#pragma once

// What changed, as the document tells its views.
enum UpdateHint : int {
    HINT_BIND = 1,         // a page binds its rows to their symbols
    HINT_LISTS = 2,        // enumeration rows refill their item lists
    HINT_VALUES = 3,       // values changed: every row re-reads its symbol, the log rebuilds
    HINT_DOCUMENT = 4,     // the document was replaced
    HINT_NEW_DESIGN = 5,   // a new design is shown
    HINT_INFO_TEXT = 6,    // the informational document arrived
    HINT_SWEEP = 7,        // the stability sweep of the design finished
    HINT_OVERLAYS = 8,     // a measurement was imported, or a compared design opened or closed
    HINT_TIME_DOMAIN = 9,  // the time-domain simulation of the design finished, or came further
    HINT_SPICE = 10,       // a Bode page's Spice box changed, or ngspice's run of the design's AC decks ended
    HINT_DESIGN_MAP = 11,  // the design maps came further, finished, or began anew for a changed design
};
