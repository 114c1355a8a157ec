-- Hyphenates words the way TeX does, with LuaTeX's own hyphenation
-- routine, for comparison with other programs.  Run by
-- scripts/tex_breaks.sh, which passes everything through the environment:
--
--   TEX_BREAKS_PAT      pattern file: "%" comment lines, then one pattern
--                       a line (UTF-8)
--   TEX_BREAKS_HYP      exception file of the same kind, one word a line
--                       with "-" at its breaks, or "-" for none
--   TEX_BREAKS_LEFT     the fewest letters before the first break
--   TEX_BREAKS_RIGHT    the fewest letters after the last break
--   TEX_BREAKS_MARK     what to write at a break
--   TEX_BREAKS_UNICODE  Unicode's UnicodeData.txt (for the capitals)
--   TEX_BREAKS_OUT      the file to write (standard output is TeX's own)
--
-- Reads standard input (UTF-8) and writes it back with the mark at every
-- break TeX finds.  A word is a run of letters within a line; every other
-- byte is copied as it is.  The letters are the characters of the patterns (less
-- the digits and ".") and of the exceptions, each with the hjcode of itself,
-- and every character whose simple lower-case mapping is one of them, with
-- the hjcode of that lower-case letter (so capitals are folded as TeX folds
-- them with \lccode and \uchyph=1).  A capital that is itself in a pattern
-- or exception and whose lower-case letter is too is folded the same way.
-- The hyphen is never a letter, even where patterns hold it, so "a-b" is
-- two words.  Each word is a list of glyph nodes between two glue nodes,
-- given its language, the minima and uchyph=1, and handed to
-- lang.hyphenate, which applies the exceptions (without minima, as LuaTeX
-- does) or else the patterns.  Input should be NFC, as the patterns mostly
-- are: TeX does not normalise, and a decomposed letter matches no pattern
-- written with the composed one.

local function fail(message)
    io.stderr:write("tex_breaks: ", message, "\n")
    io.stderr:flush()
    os.exit(1)
end

local function env(name)
    local value = os.getenv(name)
    if value == nil or value == "" then fail("missing " .. name) end
    return value
end

local function read_entries(path)
    local f, err = io.open(path, "rb")
    if not f then fail(err) end
    local entries = {}
    local number = 0
    for line in f:lines() do
        number = number + 1
        if line:find("\r", 1, true) then fail(path .. ":" .. number .. ": CR in line") end
        if not utf8.len(line) then fail(path .. ":" .. number .. ": not UTF-8") end
        if line:sub(1, 1) ~= "%" and line:find("%S") then
            if line:find("%s") then fail(path .. ":" .. number .. ": white space in an entry") end
            entries[#entries + 1] = line
        end
    end
    f:close()
    if #entries == 0 then fail(path .. ": no entries") end
    return entries
end

-- code point -> its simple lower-case mapping, from UnicodeData.txt.
local function lower_case_map(path)
    local f, err = io.open(path, "rb")
    if not f then fail(err) end
    local lower = {}
    for line in f:lines() do
        local fields = {}
        for field in (line .. ";"):gmatch("([^;]*);") do fields[#fields + 1] = field end
        if fields[14] and fields[14] ~= "" then
            lower[tonumber(fields[1], 16)] = tonumber(fields[14], 16)
        end
    end
    f:close()
    if not lower[0x41] then fail(path .. ": not UnicodeData.txt") end
    return lower
end

local HYPHEN = 0x2D

-- hjcode of every letter of the set, as explained above.
local function letter_codes(patterns, exceptions, lower)
    local raw = {}
    for _, p in ipairs(patterns) do
        for _, c in utf8.codes(p) do
            if not (c >= 0x30 and c <= 0x39) and c ~= 0x2E and c ~= HYPHEN then raw[c] = true end
        end
    end
    for _, w in ipairs(exceptions) do
        for _, c in utf8.codes(w) do
            if c ~= HYPHEN then raw[c] = true end
        end
    end
    local hj = {}
    for c in pairs(raw) do
        local l = lower[c]
        if l and raw[l] then hj[c] = l else hj[c] = c end
    end
    local base = {}
    for c, code in pairs(hj) do
        if code == c then base[c] = true end
    end
    for x, l in pairs(lower) do
        if base[l] and not hj[x] then hj[x] = l end
    end
    return hj
end

local function main()
    local patterns = read_entries(env("TEX_BREAKS_PAT"))
    local hyp = env("TEX_BREAKS_HYP")
    local exceptions = {}
    if hyp ~= "-" then exceptions = read_entries(hyp) end
    local left = tonumber(env("TEX_BREAKS_LEFT"))
    local right = tonumber(env("TEX_BREAKS_RIGHT"))
    local mark = os.getenv("TEX_BREAKS_MARK") or "-"
    local hj = letter_codes(patterns, exceptions, lower_case_map(env("TEX_BREAKS_UNICODE")))
    local out, err = io.open(env("TEX_BREAKS_OUT"), "wb")
    if not out then fail(err) end

    local l = lang.new()
    for c, code in pairs(hj) do lang.sethjcode(l, c, code) end
    lang.patterns(l, table.concat(patterns, " "))
    if #exceptions > 0 then lang.hyphenation(l, table.concat(exceptions, " ")) end
    local lid = lang.id(l)
    local fid = font.define({ name = "tex-breaks", size = 655360, hyphenchar = HYPHEN,
                              characters = {} })

    -- The words of many lines go into one node list, each between glue
    -- nodes, and are hyphenated by one call: TeX treats each word on its
    -- own either way, and one call for many words is several times faster
    -- than one call a word.
    local D = node.direct
    local GLYPH, GLUE, DISC = node.id("glyph"), node.id("glue"), node.id("disc")
    local new, copy, setlink, getnext = D.new, D.copy, D.setlink, D.getnext
    local getid, getchar, setchar, flush_list = D.getid, D.getchar, D.setchar, D.flush_list
    local tonode = D.tonode
    local template = new("glyph", 1)
    D.setfield(template, "font", fid)
    D.setfield(template, "lang", lid)
    D.setfield(template, "left", left)
    D.setfield(template, "right", right)
    D.setfield(template, "uchyph", 1)
    local char = utf8.char
    local BATCH_GLYPHS = 200000

    local lines, glyphs = {}, 0
    local head = new("glue")
    local last = head

    -- Adds the word made of the code points word[1..n] to the list.
    local function add_word(word, n)
        for i = 1, n do
            local g = copy(template)
            setchar(g, word[i])
            setlink(last, g)
            last = g
        end
        local glue = new("glue")
        setlink(last, glue)
        last = glue
        glyphs = glyphs + n
    end

    -- Hyphenates the list and writes the lines gathered so far, each word
    -- with the mark at TeX's breaks.
    local function flush()
        lang.hyphenate(tonode(head), tonode(last))
        local item = getnext(head)
        local words, count, parts, k = {}, 0, {}, 0
        while item do
            local id = getid(item)
            if id == GLYPH then k = k + 1; parts[k] = char(getchar(item))
            elseif id == DISC then k = k + 1; parts[k] = mark
            elseif id == GLUE then
                count = count + 1
                words[count] = table.concat(parts, "", 1, k)
                k = 0
            else fail("unexpected node in the hyphenated list") end
            item = getnext(item)
        end
        local w = 0
        for _, line in ipairs(lines) do
            for i, piece in ipairs(line) do
                if piece == false then w = w + 1; line[i] = words[w] end
            end
            out:write(table.concat(line))
        end
        if w ~= count then fail("lost track of the words") end
        flush_list(getnext(head))
        D.setnext(head, nil)
        last, lines, glyphs = head, {}, 0
    end

    -- Standard input is read whole and cut at LF only, so that every
    -- other byte (CR included) goes through as it is.
    local input = io.stdin:read("a") or ""
    local number, at = 0, 1
    while at <= #input do
        local stop = input:find("\n", at, true)
        local line = input:sub(at, (stop or #input + 1) - 1)
        at = (stop or #input) + 1
        number = number + 1
        if not utf8.len(line) then fail("standard input:" .. number .. ": not UTF-8") end
        -- The pieces of the line: the text between words as it is, and
        -- false where a word goes (filled in by flush); then its LF.
        local pieces, word, n = {}, {}, 0
        for _, c in utf8.codes(line) do
            if hj[c] then
                n = n + 1
                word[n] = c
            else
                if n > 0 then add_word(word, n); pieces[#pieces + 1] = false; n = 0 end
                pieces[#pieces + 1] = char(c)
            end
        end
        if n > 0 then add_word(word, n); pieces[#pieces + 1] = false end
        if stop then pieces[#pieces + 1] = "\n" end
        lines[#lines + 1] = pieces
        if glyphs >= BATCH_GLYPHS then flush() end
    end
    flush()
    out:close()
end

local ok, err = pcall(main)
if not ok then fail(tostring(err)) end
io.stdout:flush()
os.exit(0)
