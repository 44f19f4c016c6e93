# Sourced by the benchmark and fixture scripts: `require_tools TOOL...` ends the calling script
# with a message naming the first tool that is not installed.
require_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || {
            echo "$(basename "$0"): $tool is missing" >&2
            exit 1
        }
    done
}
