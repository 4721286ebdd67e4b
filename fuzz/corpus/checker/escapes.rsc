:put "tab \t hex \4A quote \" dollar \$ space \_ q \?"
