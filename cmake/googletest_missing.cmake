# Run as the only test when GoogleTest was missing at configure time.
message(FATAL_ERROR "tuition: no test was built, because GoogleTest was not found when this "
                    "build was configured. Install it (Debian: libgtest-dev) and configure again.")
