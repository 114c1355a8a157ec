# Stands in for a test whose tool is not installed, and fails saying so.
message(FATAL_ERROR "${TOOL} is not installed, so this test cannot run (bash scripts/deps.sh installs it)")
