/* translator/tab.js -- the translator's tab: the rule file's text in,
 * translate.txt out. */
var DsdTranslatorTab = DsdUi.makeTab('translator', {
  intro: '魔王语言翻译：用链栈和链队列展开句子中的括号，再按规则逐遍改写，最后把每个字母译成汉字，写入 translate.txt。',
  input: function (box, tab) {
    return DsdUi.documentInput(box, 'translator', 'rules.txt',
                               '规则文件 rules.txt 的内容（第 1 行规则条数，然后每行一条规则，最后一行是句子）：', tab);
  }
});
