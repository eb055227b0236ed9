# Which folders of src/ each folder may include from, besides itself: the layering of the code,
# written once. The IncludeMatrix test (scripts/check-includes.cmake) reads every
# `#include "folder/..."` under src/ and fails on one this table does not allow, and on a folder
# that has no line here.
#
# A new folder: add its line (the folders it builds on, lowest first), and add it to the lists
# of the folders that may use it. Keep the table free of circles: a folder never appears in the
# list of one it may include.

set(ORVANRX_MAY_INCLUDE_support   "")
set(ORVANRX_MAY_INCLUDE_decoding  support)
set(ORVANRX_MAY_INCLUDE_settings  support)
set(ORVANRX_MAY_INCLUDE_receiver  support decoding)
# Trace files and the recorder; the race-day generator and the simulated receiver above them.
set(ORVANRX_MAY_INCLUDE_trace     support decoding receiver)
set(ORVANRX_MAY_INCLUDE_sim       support decoding receiver trace weather)
# Race-log CSV files and the persisted receive memory: below the models.
set(ORVANRX_MAY_INCLUDE_racelog   support decoding settings)
set(ORVANRX_MAY_INCLUDE_analysis  support decoding settings)
set(ORVANRX_MAY_INCLUDE_weather   support decoding settings)
set(ORVANRX_MAY_INCLUDE_views     support decoding settings analysis)
# The exports read what the log grid shows: above the views. The printed log above them.
set(ORVANRX_MAY_INCLUDE_export    support decoding settings analysis views)
set(ORVANRX_MAY_INCLUDE_print     support decoding settings analysis views export)
set(ORVANRX_MAY_INCLUDE_logbook   support decoding settings racelog analysis weather)
# The poll loop and the station: the receive path without windows.
set(ORVANRX_MAY_INCLUDE_shell
    support decoding settings receiver trace sim racelog analysis weather logbook)
set(ORVANRX_MAY_INCLUDE_pitview
    support decoding settings receiver racelog analysis weather views logbook shell)
# Weather samples on the program's event loop: the logbook's and the network's.
set(ORVANRX_MAY_INCLUDE_weatherlink support settings weather logbook)
# Every widget, on top of the whole core.
set(ORVANRX_MAY_INCLUDE_gui
    support decoding settings receiver trace sim racelog analysis weather views export print
    logbook shell pitview weatherlink)
