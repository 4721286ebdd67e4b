:do { /tool fetch url="https://example.com" } on-error={ :log error "x" }
:while ($i < 3) do={ :set i ($i + 1); :delay 1s }
