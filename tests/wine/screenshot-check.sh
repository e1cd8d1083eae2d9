# Sourced by the screenshot scripts. A window shows edges and text: many colours and a spread of
# brightness. A blank or black screen has one colour and no spread.
check_screenshot() {  # picture.png
    local spread colours
    read -r spread colours <<<"$(convert "$1" -format '%[fx:standard_deviation] %k' info:)"
    echo "$1: brightness spread $spread, $colours colours"
    awk -v s="$spread" -v c="$colours" 'BEGIN { exit !(s > 0.05 && c >= 16) }' || {
        echo "the screenshot shows no window"; return 1; }
}
