// The web edition's page: renders every page from its declaration, laid out as
// the window lays it out, and passes what the person does to the engine, which
// keeps each page's form. No page has code of its own here.
(function () {
  'use strict';

  var site = '';
  var menus = [];
  var views = new Map();  // slug -> View, or null until the page is first opened
  var log = { bytes: '', saved: true };  // the account log of this visit, one char per byte
  var dead = false;
  var encoder = new TextEncoder();

  // --- The engine ---

  // A reply of {error}: the engine refused or failed this one call and is still sound.
  function EngineError(message) { this.message = message; }
  // The engine stopped for good; the banner says so.
  function Stopped() {}

  // A lone half of a surrogate pair (a broken paste) is no character: it becomes U+FFFD, as any
  // UTF-8 encoder makes it, so the request stays valid JSON of valid UTF-8.
  function wellFormed(s) {
    if (!/[\uD800-\uDFFF]/.test(s)) return s;
    var out = '';
    for (var i = 0; i < s.length; ++i) {
      var c = s.charCodeAt(i);
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.length && (s.charCodeAt(i + 1) & 0xFC00) === 0xDC00) {
        out += s.substr(i, 2);
        ++i;
      } else {
        out += c >= 0xD800 && c <= 0xDFFF ? '\uFFFD' : s[i];
      }
    }
    return out;
  }

  // The request goes on the heap (the stack holds about a megabyte), the reply comes back as
  // the engine's own text.
  function call(request) {
    if (dead) throw new Stopped();
    var bytes = encoder.encode(JSON.stringify(request, function (k, v) { return typeof v === 'string' ? wellFormed(v) : v; }));
    var at = 0;
    var text;
    try {
      at = Module._malloc(bytes.length + 1);
      if (!at) throw new EngineError('内存不足');
      Module.HEAPU8.set(bytes, at);
      Module.HEAPU8[at + bytes.length] = 0;
      text = Module.UTF8ToString(Module._rosgen_call(at));
    } catch (err) {
      if (err instanceof EngineError) throw err;
      die(err);
      throw new Stopped();
    } finally {
      if (at && !dead) Module._free(at);
    }
    var reply = JSON.parse(text);
    if (reply.error) throw new EngineError(reply.error);
    return reply;
  }
  window.rosgenCall = call;  // for the browser tests and the console

  // The engine cannot go on: a banner over the page, with the way back and the account log.
  function die(reason) {
    if (dead) return;
    dead = true;
    var reload = el('a', { href: '#', 'data-reload': '', text: '重新载入页面' });
    reload.addEventListener('click', function (e) { e.preventDefault(); location.reload(); });
    var banner = el('div', { id: 'dead', role: 'alert' }, [
      document.createTextNode('网页版的程序出错停止了工作（' + String(reason && reason.message || reason) + '），按钮已不起作用。请'),
      reload, document.createTextNode('，已填写的内容会丢失。')]);
    if (log.bytes) {
      var save = el('a', { href: '#', text: '下载本次生成的帐号记录 log.TXT' });
      save.addEventListener('click', function (e) { e.preventDefault(); saveLog(); });
      banner.appendChild(document.createTextNode(' 离开前可先'));
      banner.appendChild(save);
      banner.appendChild(document.createTextNode('。'));
    }
    document.body.insertBefore(banner, document.body.firstChild);
  }
  Module.onAbort = function (what) { die(what); };

  // --- Small helpers ---

  function el(tag, attrs, children) {
    var e = document.createElement(tag);
    if (attrs) {
      Object.keys(attrs).forEach(function (k) {
        var v = attrs[k];
        if (v === null || v === undefined || v === false) return;
        if (k === 'text') e.textContent = v;
        else if (k === 'class') e.className = v;
        else e.setAttribute(k, v === true ? '' : v);
      });
    }
    (children || []).forEach(function (c) { if (c) e.appendChild(c); });
    return e;
  }

  function today() {
    var d = new Date();
    return [d.getFullYear(), d.getMonth() + 1, d.getDate()];
  }

  // As the window proposes it: the page's slug and the local time, slug-YYYYMMDD-HHMM.rsc.
  function scriptFileName(slug) {
    var d = new Date();
    var two = function (n) { return (n < 10 ? '0' : '') + n; };
    return slug + '-' + d.getFullYear() + two(d.getMonth() + 1) + two(d.getDate()) + '-' + two(d.getHours()) +
      two(d.getMinutes()) + '.rsc';
  }

  // Bytes held as a string of U+0000..U+00FF, as the engine hands them over.
  function download(name, bytes) {
    var data = new Uint8Array(bytes.length);
    for (var i = 0; i < bytes.length; ++i) data[i] = bytes.charCodeAt(i);
    var url = URL.createObjectURL(new Blob([data], { type: 'application/octet-stream' }));
    var a = el('a', { href: url, download: name });
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
  }

  function saveLog() {
    download('log.TXT', log.bytes);
    log.saved = true;
  }

  var measure = null;
  // The width of a text in the page's font, so a box shows its whole default value.
  function textWidth(text) {
    if (!measure) {
      measure = document.createElement('canvas').getContext('2d');
      var style = getComputedStyle(document.body);
      measure.font = style.fontSize + ' ' + style.fontFamily;
    }
    return measure.measureText(text).width;
  }

  // --- Message and input boxes: modal dialogs, answered by their buttons ---

  // `input` asks for a text; `choice` names the two buttons of a question: {ok, cancel}.
  function dialog(caption, text, input, choice) {
    return new Promise(function (resolve) {
      var field = input ? el('input', { type: 'text', name: 'answer' }) : null;
      if (field) field.value = input.initial;
      var ok = el('button', { type: 'button', 'data-answer': 'ok', text: choice ? choice.ok : '确定' });
      var cancel = input || choice ?
        el('button', { type: 'button', 'data-answer': 'cancel', text: choice ? choice.cancel : '取消' }) : null;
      var d = el('dialog', { 'data-caption': caption }, [
        el('h3', { text: caption }), el('div', { class: 'text', text: text }), field,
        el('div', { class: 'buttons' }, [ok, cancel])]);
      var answer = null;
      ok.addEventListener('click', function () { answer = field ? field.value : true; d.close(); });
      if (cancel) cancel.addEventListener('click', function () { d.close(); });
      if (field) field.addEventListener('keydown', function (e) { if (e.key === 'Enter') ok.click(); });
      d.addEventListener('close', function () { d.remove(); resolve(answer); });
      document.body.appendChild(d);
      d.showModal();
      (field || ok).focus();
    });
  }

  // --- One page ---

  function View(slug) {
    var decl = call({ op: 'describe', page: slug });
    this.decl = decl;
    this.slug = decl.slug;
    this.decls = new Map();
    this.buttons = new Map();
    this.listDecls = new Map();
    var self = this;
    decl.fields.forEach(function (f) { self.decls.set(f.id, f); });
    decl.buttons.forEach(function (b) { self.buttons.set(b.id, b); });
    decl.lists.forEach(function (l) { self.listDecls.set(l.id, l); });
    this.fields = new Map();  // id -> element
    this.lists = new Map();   // id -> tbody
    this.selected = new Map();  // list id -> selected row
    this.outputText = '';     // the engine's output, CR LF kept
    this.outputEdited = false;
    this.olderDialect = false;  // the box's script was written by a 2.9.x/3.x button
    this.busy = false;
  }

  View.prototype.render = function () {
    var d = this.decl;
    var section = el('section', { 'data-page': d.slug, hidden: true });
    if (d.layout.length) {
      var upper = el('fieldset', { class: 'upper' }, [el('legend', { text: d.caption })]);
      upper.appendChild(this.grid(d.layout));
      section.appendChild(upper);
    } else {
      section.appendChild(el('p', { class: 'note', text: d.tab + '：这个页面没有表单。' }));
    }
    if (d.output) section.appendChild(this.outputPanel());
    if (d.output) section.appendChild(this.filesPanel());
    this.section = section;
    this.show(d.state);
    return section;
  };

  function needsWidth(item, decls) {
    return item.type === 'group' || item.type === 'list' || item.type === 'column' ||
      (item.type === 'field' && decls.get(item.id).kind === 'multiline');
  }

  // Items top to bottom in three columns, label, field and hint, so the fields of one box line up.
  View.prototype.grid = function (items) {
    var grid = el('div', { class: 'grid' });
    var self = this;
    var put = function (e, column, span, cls) {
      e.style.gridColumn = column + ' / span ' + span;
      if (cls) e.classList.add(cls);
      grid.appendChild(e);
      return e;
    };
    items.forEach(function (item) {
      if (item.type !== 'field') {
        put(item.type === 'row' || item.type === 'flow' ? self.line(item) : self.inline(item), 1, 3, 'whole');
        return;
      }
      var f = self.decls.get(item.id);
      var w = self.field(f, false);
      var label = null;
      var hint = f.hint ? el('span', { class: 'hint', text: f.hint }) : null;
      var below = hint && f.hint_below;
      if (f.kind === 'check' || f.kind === 'radio') {
        put(w, 1, 2);
      } else {
        label = put(f.label ? el('label', { for: w.id, text: f.label }) : el('span'), 1, 1, 'label');
        if (f.kind === 'multiline') label.classList.add('top');
        put(w, 2, f.kind === 'multiline' && (!hint || below) ? 2 : 1);
      }
      if (below) put(hint, 2, 2, 'below');
      else if (hint) put(hint, 3, 1);
      else if (f.kind !== 'multiline') put(el('span'), 3, 1);
      if (!f.visible) [w, label, hint].forEach(function (x) { if (x) x.hidden = true; });
    });
    return grid;
  };

  // A row (one line, as in the window) or a flow (as many to a line as fit, each of its items
  // kept whole, so a pair of buttons stays together). A field keeps its label and hint with it;
  // on a narrow screen a row's items go on to further lines.
  View.prototype.line = function (item) {
    var flow = item.type === 'flow';
    var line = el('div', { class: flow ? 'flow' : 'row' });
    var self = this;
    item.items.forEach(function (inner) {
      if (inner.type === 'row' || inner.type === 'flow') {
        var into = flow ? line.appendChild(el('span', { class: 'piece' })) : line;
        inner.items.forEach(function (x) { into.appendChild(self.inline(x)); });
      } else {
        var e = self.inline(inner);
        if (needsWidth(inner, self.decls)) e.classList.add('grow');
        line.appendChild(e);
      }
    });
    return line;
  };

  View.prototype.inline = function (item) {
    var self = this;
    switch (item.type) {
      case 'group': {
        var g = el('fieldset', null, [item.caption ? el('legend', { text: item.caption }) : null]);
        g.appendChild(self.grid(item.items));
        return g;
      }
      case 'column': {
        var column = self.grid(item.items);
        column.classList.add('column');
        return column;
      }
      case 'row':
      case 'flow': return self.line(item);
      case 'button': return self.button(self.buttons.get(item.id));
      case 'note': return el('p', { class: 'note', text: item.text });
      case 'list': return self.list(self.listDecls.get(item.id));
      case 'field': {
        var f = self.decls.get(item.id);
        var own = f.kind === 'check' || f.kind === 'radio';
        var w = self.field(f, true);
        var unit = el('span', { class: 'unit' + (f.kind === 'multiline' ? ' grow' : '') });
        if (!own && f.label) unit.appendChild(el('label', { for: w.id, text: f.label }));
        var hint = f.hint ? el('span', { class: 'hint', text: f.hint }) : null;
        if (hint && f.hint_below) {
          unit.appendChild(el('span', { class: 'stack' }, [w, hint]));
        } else {
          unit.appendChild(w);
          if (hint) unit.appendChild(hint);
        }
        if (!f.visible) unit.hidden = true;
        return unit;
      }
    }
    return el('span');
  };

  View.prototype.field = function (f, inRow) {
    var self = this;
    var id = 'f-' + this.slug + '-' + f.id;
    var w;
    var typed = function () { self.typed(f.id, w.value); };
    switch (f.kind) {
      case 'edit':
        w = el('input', { type: 'text', name: f.id, id: id, readonly: f.read_only, spellcheck: 'false', autocomplete: 'off' });
        // Wide enough for the default value, as the window sizes its boxes.
        w.style.width = Math.ceil(Math.max(inRow ? 56 : 150, textWidth(f.default) + 22)) + 'px';
        w.addEventListener('input', typed);
        break;
      case 'multiline':
        w = el('textarea', { name: f.id, id: id, readonly: f.read_only, spellcheck: 'false', rows: 5 });
        w.addEventListener('input', typed);
        break;
      case 'check':
      case 'radio': {
        var box = el('input', { type: f.kind === 'check' ? 'checkbox' : 'radio', name: f.id, id: id });
        box.addEventListener('click', function () {
          self.act({ op: 'toggle', field: f.id, on: f.kind === 'check' ? box.checked : true });
        });
        this.fields.set(f.id, box);
        return el('label', { class: 'check' }, [box, document.createTextNode(f.label)]);
      }
      case 'combo':
        w = el('select', { name: f.id, id: id });
        f.items.forEach(function (text, i) { w.appendChild(el('option', { value: i, text: text })); });
        w.addEventListener('change', function () { self.act({ op: 'choose', field: f.id, index: w.selectedIndex }); });
        break;
    }
    this.fields.set(f.id, w);
    return w;
  };

  View.prototype.button = function (b) {
    var self = this;
    var w = el('button', { type: 'button', 'data-button': b.id, 'data-designer': b.designer, text: b.caption });
    w.addEventListener('click', function () { self.press(b.id); });
    return w;
  };

  View.prototype.list = function (l) {
    var self = this;
    var head = el('tr', null, l.columns.map(function (c) {
      return el('th', { text: c.title, style: 'min-width:' + c.width + 'px' });
    }));
    var body = el('tbody');
    body.addEventListener('click', function (e) {
      var tr = e.target.closest('tr');
      if (!tr) return;
      self.act({ op: 'click', list: l.id, row: Array.prototype.indexOf.call(body.children, tr) });
    });
    this.lists.set(l.id, body);
    var box = el('div', { class: 'list', 'data-list': l.id }, [el('table', null, [el('thead', null, [head]), body])]);
    box.style.height = (l.lines + 1) * 1.6 + 0.4 + 'em';
    return box;
  };

  View.prototype.outputPanel = function () {
    var self = this;
    var box = el('textarea', { name: this.decl.output, 'data-output': '', spellcheck: 'false', wrap: 'off' });
    box.addEventListener('input', function () { self.outputEdited = true; });
    this.output = box;
    this.warnings = el('p', { class: 'warnings', 'data-warnings': '' });
    this.status = el('p', { class: 'status', 'data-status': '' });
    var button = function (panel, text, designer, run) {
      var b = el('button', { type: 'button', 'data-panel': panel, 'data-designer': designer, text: text });
      b.addEventListener('click', run);
      return b;
    };
    this.logButton = button('log', '下载日志 log.TXT', null, saveLog);
    this.logButton.hidden = !log.bytes;
    return el('div', { class: 'output' }, [el('div', { class: 'box' }, [box, this.status, this.warnings]),
      el('div', { class: 'actions' }, [
        button('copy', '复制生成脚本', this.decl.panel[0], function () { self.guard(self.copy); }),
        button('save', '保存脚本', null, function () { self.guard(self.save); }),
        button('check', '检查脚本', null, function () { self.guard(self.check); }),
        this.logButton,
        button('website', '作者网站', this.decl.panel[3], function () { window.open(site, '_blank', 'noopener'); })])]);
  };

  // Runs one thing the person asked for, one at a time. A call the engine refused is shown in a
  // message box and the view is put right from the engine's state; the page goes on working.
  View.prototype.guard = async function (fn) {
    if (this.busy || dead) return;
    this.busy = true;
    this.section.setAttribute('data-busy', '');
    try {
      await fn.call(this);
    } catch (err) {
      if (err instanceof Stopped) return;
      await dialog('出错了', '这次操作没有完成：' + (err && err.message || err) + '\r\n\r\n页面可以继续使用。');
      try {
        var state = call({ op: 'state', page: this.slug });
        if (this.outputEdited) delete state.output;  // the person's edits in the box stay
        this.show(state);
      } catch (again) {
        if (!(again instanceof Stopped)) die(again);
      }
    } finally {
      this.busy = false;
      this.section.removeAttribute('data-busy');
    }
  };

  // Typing is never dropped, whatever else is under way: each text reaches the engine.
  View.prototype.typed = function (id, text) {
    try {
      this.show(call({ op: 'type', page: this.slug, field: id, text: text }), id);
    } catch (err) {
      if (!(err instanceof Stopped)) this.guard(function () { throw err; });
    }
  };

  View.prototype.act = function (request) {
    var self = this;
    request.page = this.slug;
    this.guard(function () { self.show(call(request)); });
  };

  // The box as the engine holds it, or as edited, CR LF line ends.
  View.prototype.boxText = function () {
    return this.outputEdited ? this.output.value.replace(/\r?\n/g, '\r\n') : this.outputText;
  };

  function blank(text) { return /^[ \t\r\n]*$/.test(text); }

  View.prototype.press = function (button) {
    var self = this;
    this.guard(async function () {
      // Nothing of the last press stands beside this one's messages.
      self.showWarnings([]);
      self.showRefusal(null);
      // "修改" overwrites the selected row: without one it would do nothing, so it says so.
      var refusal = null;
      self.listDecls.forEach(function (l) {
        if (l.modify === button && self.selected.get(l.id) < 0) refusal = '请先选择要修改的表项再执行此操作!';
      });
      if (refusal) {
        self.showRefusal(refusal);
        await dialog('信息：', refusal);
        return;
      }
      await self.run(button);
    });
  };

  // Runs the button; an input box stops the press, is asked, and the press runs
  // again from the same state with every answer so far (and the same random draws).
  View.prototype.run = async function (button) {
    var request = { op: 'press', page: this.slug, button: button, today: today(), answers: [], random: [] };
    var seen = 0;
    var started = performance.now();
    for (;;) {
      var reply = call(request);
      request.random = reply.random;
      if (reply.outcome === 'keys') {
        // The engine asks for key pairs; the browser's WebCrypto makes them, and the press runs again.
        request.keys = await makeKeys(reply.keys);
        if (!request.keys) {
          await dialog('信息：', NO_X25519);
          break;
        }
        started = performance.now();
        continue;
      }
      var asked = false;
      if (reply.outcome !== 'input') {
        // The check says first when the box holds a script for RouterOS 2.9.x/3.x, as in the window.
        if ('output' in reply) this.olderDialect = this.buttons.get(button).dialect !== '7.x';
        this.show(reply);
        if (reply.files) this.showFiles(reply.files);
        this.showWarnings(reply.warnings);
        if (reply.outcome === 'refused') {
          var said = reply.events.filter(function (e) { return e.kind === 'message'; }).pop();
          this.showRefusal(said ? said.text : '');
        }
      }
      window.rosgenLastPress = performance.now() - started;
      for (; seen < reply.events.length; ++seen) {
        var e = reply.events[seen];
        if (e.kind === 'message') {
          await dialog(e.caption, e.text);
        } else if (e.kind === 'input') {
          if ('answer' in e) continue;
          request.answers.push(await dialog(e.caption, e.text, e));
          ++seen;
          asked = true;
          break;
        } else if (e.kind === 'open') {
          window.open(e.address, '_blank', 'noopener');
        } else if (e.kind === 'append') {
          log.bytes += e.bytes;
          log.saved = false;
          views.forEach(function (v) { if (v && v.logButton) v.logButton.hidden = false; });
        }
      }
      if (!asked) break;
      started = performance.now();
    }
  };

  // The script as the router would take it: RouterOS 7's command tree, then a run on a router
  // with the default configuration; the first ten findings listed, as in the window.
  View.prototype.check = async function () {
    var request = { op: 'check', page: this.slug };
    if (this.outputEdited) request.text = this.output.value;
    var found = call(request).findings;
    var text = (this.olderDialect ? OLDER_DIALECT : '') + CHECK_BASIS;
    if (!found.length) {
      text += '没有发现问题';
    } else {
      text += '发现' + found.length + '个问题：';
      found.slice(0, 10).forEach(function (f) {
        text += '\r\n第' + f.line + '行第' + f.col + '列 ' + (f.error ? '错误：' : '警告：') + ' ' + f.text;
      });
      if (found.length > 10) text += '\r\n……';
    }
    await dialog('检查脚本', text);
  };

  View.prototype.copy = async function () {
    var text = this.boxText();
    if (blank(text)) {
      await dialog('复制生成脚本', '输出框是空的，没有可复制的脚本。\r\n请先按页面上的生成按钮。');
      return;
    }
    var ok = false;
    try {
      await navigator.clipboard.writeText(text);
      ok = true;
    } catch (err) {
      // Without the clipboard API (some browsers on file://), the copy event carries the exact text.
      var put = function (e) { e.clipboardData.setData('text/plain', text); e.preventDefault(); ok = true; };
      document.addEventListener('copy', put);
      try { document.execCommand('copy'); } finally { document.removeEventListener('copy', put); }
    }
    if (ok) await dialog('恭喜!', COPY_DONE);
    else await dialog('失败', COPY_FAILED);
  };

  // Downloads the box as a .rsc file in GBK, as the router reads it. A character GBK cannot
  // hold is named, and UTF-8 offered, rather than written as "?".
  View.prototype.save = async function () {
    if (blank(this.boxText())) {
      await dialog('保存脚本', '输出框是空的，没有可保存的脚本。\r\n请先按页面上的生成按钮。');
      return;
    }
    var request = { op: 'bytes', page: this.slug, encoding: 'gbk' };
    if (this.outputEdited) request.text = this.output.value;
    var reply = call(request);
    if (reply.not_gbk) {
      // As the window asks it.
      var c = reply.not_gbk;
      var code = c.code.toString(16).toUpperCase();
      var utf8 = await dialog('保存脚本', '第' + c.line + '行的字符“' + c.char + '”（U+' + '0000'.slice(code.length) +
        code + '）不能用 GBK 编码保存，存成 GBK 会变成“?”。\r\n\r\n' +
        '按“确定”改存为 UTF-8 编码（RouterOS 7 导入 UTF-8 文件），按“取消”不保存。', null, { ok: '确定', cancel: '取消' });
      if (!utf8) return;
      request.encoding = 'utf-8';
      reply = call(request);
    }
    download(scriptFileName(this.slug), reply.bytes);
  };

  View.prototype.mark = function (id, problem) {
    var w = this.fields.get(id);
    var f = this.decls.get(id);
    if (!w || !f || (f.kind !== 'edit' && f.kind !== 'multiline')) return;
    w.classList.toggle('warn', !!problem);
    if (problem) w.title = problem; else w.removeAttribute('title');
  };

  // Under the box after a refused press: why no script was made, and that the box is as it was.
  // null clears it.
  View.prototype.showRefusal = function (said) {
    if (!this.status) return;
    this.status.textContent = said === null ? '' : '没有生成新脚本' +
      (said ? '：' + said.replace(/\s+/g, ' ').trim() + '　' : '，') + '输出框中仍是之前的内容。';
  };

  View.prototype.showWarnings = function (warnings) {
    if (!this.warnings) return;
    this.warnings.textContent = !warnings.length ? '' : warnings.length + ' 个字段的值可能导致脚本出错：' +
      warnings.map(function (w) { return w.label + ' — ' + w.reason; }).join('；');
  };

  // Makes the widgets follow what the engine says changed; the box being typed into keeps its text.
  View.prototype.show = function (changes, typing) {
    var self = this;
    Object.keys(changes.fields || {}).forEach(function (id) {
      var s = changes.fields[id];
      var w = self.fields.get(id);
      var f = self.decls.get(id);
      if (!w || !f) return;
      if (f.kind === 'edit' || f.kind === 'multiline') {
        var shown = s.text.replace(/\r\n/g, '\n');
        if (id !== typing && w.value !== shown) w.value = shown;
      } else if (f.kind === 'combo') {
        w.selectedIndex = s.index;
      } else {
        w.checked = s.checked;
      }
      w.disabled = !s.enabled;
    });
    Object.keys(changes.lists || {}).forEach(function (id) {
      var body = self.lists.get(id);
      var s = changes.lists[id];
      self.selected.set(id, s.selected);
      if (!body) return;
      body.textContent = '';
      s.rows.forEach(function (cells, i) {
        body.appendChild(el('tr', { 'aria-selected': i === s.selected ? 'true' : 'false' },
          cells.map(function (c) { return el('td', { text: c }); })));
      });
    });
    if ('output' in changes && this.output) {
      this.outputText = changes.output;
      this.output.value = changes.output.replace(/\r\n/g, '\n');
      this.outputEdited = false;
    }
    Object.keys(changes.problems || {}).forEach(function (id) { self.mark(id, changes.problems[id]); });
  };

  // --- Client files: what a press made beside its script, each with its QR code ---

  View.prototype.filesPanel = function () {
    this.filesBox = el('div', { class: 'files', 'data-files': '', hidden: true });
    return this.filesBox;
  };

  View.prototype.showFiles = function (files) {
    var box = this.filesBox;
    box.textContent = '';
    box.appendChild(el('h3', { text: '客户端文件：用 WireGuard 应用扫描二维码，或导入配置文件。它们含有客户端的私钥，请只交给它的主人。' }));
    files.forEach(function (f) {
      var canvas = f.qr ? qrCanvas(f.text) : null;
      var conf = el('button', { type: 'button', 'data-save-file': f.name, text: '下载 ' + f.name });
      conf.addEventListener('click', function () { download(f.name, utf8Bytes(f.text)); });
      var png = canvas ? el('button', { type: 'button', 'data-save-qr': f.name, text: '下载二维码 PNG' }) : null;
      if (png) {
        png.addEventListener('click', function () {
          canvas.toBlob(function (blob) { saveBlob(f.name.replace(/\.conf$/, '') + '.png', blob); }, 'image/png');
        });
      }
      box.appendChild(el('figure', { 'data-file': f.name }, [
        canvas, el('figcaption', null, [el('strong', { text: f.name }), el('pre', { 'data-file-text': '', text: f.text }),
          el('div', { class: 'buttons' }, [conf, png])])]));
    });
    box.hidden = !files.length;
  };

  // The text's UTF-8 bytes, one char per byte, as download() takes them.
  function utf8Bytes(text) {
    var bytes = new TextEncoder().encode(text);
    var out = '';
    for (var i = 0; i < bytes.length; ++i) out += String.fromCharCode(bytes[i]);
    return out;
  }

  function saveBlob(name, blob) {
    var url = URL.createObjectURL(blob);
    var a = el('a', { href: url, download: name });
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
  }

  // The QR code of the text's UTF-8 bytes (level M, the smallest version that holds them), drawn
  // with whole pixels a module and four modules of quiet zone; nothing when it is too long.
  function qrCanvas(text) {
    var code;
    try {
      qrcode.stringToBytes = qrcode.stringToBytesFuncs['UTF-8'];
      code = qrcode(0, 'M');
      code.addData(text, 'Byte');
      code.make();
    } catch (e) {
      return el('p', { class: 'note', text: '文件太长，无法生成二维码' });
    }
    var n = code.getModuleCount();
    var scale = Math.max(2, Math.floor(300 / (n + 8)));
    var canvas = el('canvas', { width: (n + 8) * scale, height: (n + 8) * scale, 'data-qr': '' });
    var g = canvas.getContext('2d');
    g.fillStyle = '#fff';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.fillStyle = '#000';
    for (var y = 0; y < n; ++y) {
      for (var x = 0; x < n; ++x) {
        if (code.isDark(y, x)) g.fillRect((x + 4) * scale, (y + 4) * scale, scale, scale);
      }
    }
    return canvas;
  }

  // `n` X25519 key pairs from WebCrypto, each as its 32 secret and 32 public bytes; nothing
  // when this browser has no X25519.
  async function makeKeys(n) {
    var bytes = function (b64url) {
      var s = atob(b64url.replace(/-/g, '+').replace(/_/g, '/'));
      var out = [];
      for (var i = 0; i < s.length; ++i) out.push(s.charCodeAt(i));
      return out;
    };
    try {
      var keys = [];
      for (var i = 0; i < n; ++i) {
        var pair = await crypto.subtle.generateKey({ name: 'X25519' }, true, ['deriveBits']);
        var jwk = await crypto.subtle.exportKey('jwk', pair.privateKey);
        keys.push({ secret: bytes(jwk.d), public: bytes(jwk.x) });
      }
      return keys;
    } catch (e) {
      return null;
    }
  }

  var NO_X25519 = '这个浏览器不能生成 WireGuard 密钥（需要 WebCrypto 的 X25519），没有生成脚本。\r\n' +
    '请换用新版的 Chrome、Edge、Firefox 或 Safari，或者使用桌面版。';
  var COPY_DONE = '复制成功!\r\n\r\n使用方法:\r\n\r\n方法一:请打开winbox下的New Terminal右键选择paste粘贴后回车!  ' +
    '(推荐使用)\r\n\r\n' +
    '方法二:请打开winbox后进入System后选择Scripts,点击号,将刚才复制的脚本粘贴到Source里面后确定.\r\n' +
    '回到Scripts窗口后选中您刚才添加的脚本后点击Run Script运行你所选择的脚本，操作完毕！\r\n\r\n' +
    '方法三:' +
    '使用超级终端或telnet连接路由器后指复制的脚本粘贴运行即可！（注：路由器需开启相应端口，否则将无法连接！）';
  var CHECK_BASIS = '按 RouterOS 7 的命令树检查，并在默认配置的路由器上模拟运行：';
  var OLDER_DIALECT = '注意：这项检查针对 RouterOS 7，而输出框中的脚本是 2.9.x/3.x 按钮生成的，' +
    '它的写法在 RouterOS 7 上可能不被接受；要检查 7.x 脚本，请按本页的 7.x 生成按钮。\r\n\r\n';
  var COPY_FAILED = '复制失败!\r\n\r\n请检查你的程序是否玩整！';

  // --- Navigation: the pages grouped as the window's menus group them; a drop-down on phones ---

  function open(slug) {
    // Only the pages' own names: "#constructor" or "#__proto__" is no page.
    if (!views.has(slug)) slug = 'start';
    if (views.get(slug) === null) {
      var view = new View(slug);
      document.getElementById('pages').appendChild(view.render());
      views.set(slug, view);
    }
    document.querySelectorAll('section[data-page]').forEach(function (s) { s.hidden = s.dataset.page !== slug; });
    document.querySelectorAll('#tabs button').forEach(function (b) {
      if (b.dataset.tab === slug) b.setAttribute('aria-current', 'page'); else b.removeAttribute('aria-current');
    });
    document.getElementById('page-select').value = slug;
    if (location.hash.slice(1) !== slug) history.replaceState(null, '', '#' + slug);
  }

  function openSafely(slug) {
    try {
      open(slug);
    } catch (err) {
      if (!(err instanceof Stopped)) dialog('出错了', '页面没有打开：' + (err && err.message || err));
    }
  }

  // The start page's list of task pages, each a link, as in the window's start page.
  function startLinks() {
    var box = document.getElementById('page-links');
    menus.forEach(function (m) {
      var p = el('p', null, [el('b', { text: m.title }), el('br')]);
      m.pages.forEach(function (page, i) {
        if (i) p.appendChild(document.createTextNode(' | '));
        p.appendChild(el('a', { href: '#' + page.slug, text: page.text }));
      });
      box.appendChild(p);
    });
  }

  window.rosgenStart = function () {
    var t0 = performance.now();
    var all = call({ op: 'pages' });
    site = all.site;
    menus = all.menus;
    var tabs = document.getElementById('tabs');
    var select = document.getElementById('page-select');
    var tab = function (slug, text, into) {
      var b = el('button', { type: 'button', 'data-tab': slug, text: text });
      b.addEventListener('click', function () { openSafely(slug); });
      tabs.appendChild(b);
      into.appendChild(el('option', { value: slug, text: text }));
    };
    views.set('start', undefined);
    tab('start', '开始', select);
    var tabText = new Map();
    all.pages.forEach(function (p) { if (p.index) tabText.set(p.slug, p.tab); });
    menus.forEach(function (m) {
      tabs.appendChild(el('h2', { text: m.title }));
      var group = el('optgroup', { label: m.title });
      select.appendChild(group);
      m.pages.forEach(function (p) {
        views.set(p.slug, null);  // described when first opened
        tab(p.slug, tabText.get(p.slug), group);
      });
    });
    startLinks();
    select.addEventListener('change', function () { openSafely(select.value); });
    window.addEventListener('hashchange', function () { openSafely(location.hash.slice(1)); });
    // The account log lives as long as the page: leaving with accounts not downloaded asks first.
    window.addEventListener('beforeunload', function (e) {
      if (log.saved) return;
      e.preventDefault();
      e.returnValue = '';
    });
    document.getElementById('loading').remove();
    openSafely(location.hash.slice(1) || 'start');
    document.body.dataset.ready = '';
    window.rosgenReady = { engine: t0, rendered: performance.now() };
  };
})();
