-- wrk script of bench/serve.sh: POSTs one body to every request and counts the answers
-- that are not the expected one (EXPECT, the md5 of the text).
local text = os.getenv("TEXT")
local expect = os.getenv("EXPECT")
wrk.method = "POST"
wrk.body = '{"function":"md5","args":["' .. text .. '"]}'
wrk.headers["Content-Type"] = "application/json"

-- With PACE_MS, each connection waits that long before each request: a fixed rate of
-- about connections × 1000 / PACE_MS requests a second, whatever the server's speed.
local pace = tonumber(os.getenv("PACE_MS") or "")
if pace then
    function delay()
        return pace
    end
end

local threads = {}
function setup(thread)
    table.insert(threads, thread)
end

wrong = 0
function response(status, headers, body)
    if status ~= 200 or not string.find(body, expect, 1, true) then
        wrong = wrong + 1
    end
end

function done(summary, latency, requests)
    local bad = 0
    for _, t in ipairs(threads) do bad = bad + t:get("wrong") end
    io.write(string.format("RESULT %.0f %.3f %.3f %d %d\n", summary.requests / (summary.duration / 1e6),
        latency:percentile(50) / 1000, latency:percentile(99) / 1000, bad, summary.requests))
end
