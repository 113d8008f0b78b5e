-- wrk asks as the program does: the showcase, HTTP/1.0, one request per connection.
local program_request = "GET /cxzp.asp HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n"

request = function()
    return program_request
end
